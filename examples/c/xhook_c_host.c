/* A host written in C that finds the reconciliation component the way an installed host does:
 * it looks the class up by its ProgID in the per-user component registry, loads the library that
 * the registry names with dlopen, and calls hookBill through the plain C surface. It brings a
 * document finder of its own and registers it in-process, so that the window's outbound lookup
 * asks this program (and not a plugin) which documents to list.
 *
 *   xhook_c_host register LIBRARY      registers the component at LIBRARY (its DllRegisterServer)
 *   xhook_c_host IDS [OUTBOUND_IDS]    calls hookBill with the invoice ids IDS; the finder
 *                                      answers every lookup with OUTBOUND_IDS (default none)
 *
 * Prints the call's status; exits 0 when hookBill succeeded. */

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include "DeZuvarEDodOziv8/xouthook_c.h"

typedef int (*create_fn)(xhook_instance**, long*, char**);
typedef int (*release_fn)(xhook_instance*);
typedef int (*hook_bill_fn)(xhook_instance*, const char*, int*, long*, char**);
typedef void (*free_string_fn)(char*);
typedef int (*register_finder_fn)(const char*, const xhook_document_finder*);
typedef long (*register_server_fn)(void);

/* --- The per-user component registry --------------------------------------------------------- */

static void registry_path(char* path, size_t size) {
    const char* overridden = getenv("XHOOK_COMPONENT_REGISTRY");
    const char* config = getenv("XDG_CONFIG_HOME");
    if (overridden && *overridden)
        snprintf(path, size, "%s", overridden);
    else if (config && *config)
        snprintf(path, size, "%s/ComponentRegistry.ini", config);
    else
        snprintf(path, size, "%s/.config/ComponentRegistry.ini",
                 getenv("HOME") ? getenv("HOME") : "");
}

static char* trimmed(char* text) {
    while (*text == ' ' || *text == '\t') ++text;
    char* end = text + strlen(text);
    while (end > text && strchr(" \t\r\n", end[-1])) *--end = '\0';
    return text;
}

/* The Path of the section whose ProgID is `prog_id` (without regard to case); 0 when none. */
static int find_library_by_prog_id(const char* prog_id, char* library, size_t size) {
    char path[4096], line[4096], section_path[4096] = "";
    int section_matches = 0, found = 0;
    registry_path(path, sizeof path);
    FILE* ini = fopen(path, "r");
    if (!ini) return 0;
    while (!found && fgets(line, sizeof line, ini)) {
        char* text = trimmed(line);
        char* equals = strchr(text, '=');
        if (*text == '[') {
            if (section_matches && *section_path) found = 1;
            section_matches = 0;
            section_path[0] = '\0';
        } else if (equals) {
            *equals = '\0';
            const char* key = trimmed(text);
            const char* value = trimmed(equals + 1);
            if (strcasecmp(key, "ProgID") == 0 && strcasecmp(value, prog_id) == 0)
                section_matches = 1;
            if (strcasecmp(key, "Path") == 0)
                snprintf(section_path, sizeof section_path, "%s", value);
        }
    }
    if (section_matches && *section_path) found = 1;
    fclose(ini);
    if (found) snprintf(library, size, "%s", section_path);
    return found;
}

/* --- The host's own document finder ---------------------------------------------------------- */

struct finder_state {
    const char* answer;
    int lookups;
};

static void finder_find(void* context, const char* access_code, const char* filter) {
    struct finder_state* state = context;
    ++state->lookups;
    printf("finder: lookup %d, access code %s, filter [%s]\n", state->lookups, access_code, filter);
}

static const char* finder_selected_ids(void* context) {
    return ((struct finder_state*)context)->answer;
}

/* --- Calls into the component ---------------------------------------------------------------- */

typedef void (*any_fn)(void);

/* dlsym answers an object pointer; POSIX lets it hold a function's address. */
static any_fn symbol(void* library, const char* name) {
    void* address = dlsym(library, name);
    any_fn function = NULL;
    if (address)
        memcpy(&function, &address, sizeof function);
    else
        fprintf(stderr, "the component has no %s: %s\n", name, dlerror());
    return function;
}

static int register_component(const char* library_file) {
    void* library = dlopen(library_file, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        fprintf(stderr, "cannot load %s: %s\n", library_file, dlerror());
        return 1;
    }
    register_server_fn register_server = (register_server_fn)symbol(library, "DllRegisterServer");
    const long status = register_server ? register_server() : XHOOK_E_FAIL;
    printf("DllRegisterServer: status %ld\n", status);
    return status == XHOOK_OK ? 0 : 1;
}

static int hook_bill(const char* ids, const char* outbound_answer) {
    char library_file[4096];
    if (!find_library_by_prog_id(XHOOK_PROGID, library_file, sizeof library_file)) {
        fprintf(stderr, "%s is not registered in the component registry\n", XHOOK_PROGID);
        return 1;
    }
    void* library = dlopen(library_file, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        fprintf(stderr, "cannot load %s: %s\n", library_file, dlerror());
        return 1;
    }
    create_fn create = (create_fn)symbol(library, "xhook_create");
    release_fn release = (release_fn)symbol(library, "xhook_release");
    hook_bill_fn call = (hook_bill_fn)symbol(library, "xhook_hook_bill");
    free_string_fn free_string = (free_string_fn)symbol(library, "xhook_free_string");
    register_finder_fn register_finder =
        (register_finder_fn)symbol(library, "xhook_register_document_finder");
    if (!create || !release || !call || !free_string || !register_finder) return 1;

    struct finder_state state = {outbound_answer, 0};
    const xhook_document_finder finder = {&state, finder_find, finder_selected_ids};
    register_finder(XHOOK_DOCUMENT_FINDER_CLSID, &finder);

    xhook_instance* hook = NULL;
    long number = 0;
    char* description = NULL;
    int result = -1;
    int status = create(&hook, &number, &description);
    if (status == XHOOK_OK) status = call(hook, ids, &result, &number, &description);
    if (status == XHOOK_OK)
        printf("hookBill(%s): status %d, result %d\n", ids, status, result);
    else
        printf("hookBill(%s) failed: status %d, error %ld: %s\n", ids, status, number,
               description ? description : "");
    free_string(description);
    release(hook);
    register_finder(XHOOK_DOCUMENT_FINDER_CLSID, NULL);
    /* The library stays loaded: the QApplication it made lives until the process ends. */
    return status == XHOOK_OK ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "register") == 0) return register_component(argv[2]);
    if (argc == 2 || argc == 3) return hook_bill(argv[1], argc == 3 ? argv[2] : "");
    fprintf(stderr, "usage: %s register LIBRARY | %s IDS [OUTBOUND_IDS]\n", argv[0], argv[0]);
    return 2;
}
