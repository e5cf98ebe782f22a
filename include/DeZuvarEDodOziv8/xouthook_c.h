#ifndef DEZUVAREDODOZIV8_XOUTHOOK_C_H
#define DEZUVAREDODOZIV8_XOUTHOOK_C_H

/* The plain C surface of the reconciliation component, for hosts in other languages (C, Python
 * through ctypes, ...). Every function here is exported by libDeZuvarEDodOziv8.so.1 with C
 * linkage; a host may link the library or load it with dlopen and look the names up.
 *
 * A host without a user interface thread of its own:
 *
 *   xhook_instance* hook = NULL;
 *   long number = 0;
 *   char* description = NULL;
 *   int result = 0;
 *   if (xhook_create(&hook, &number, &description) == XHOOK_OK &&
 *       xhook_hook_bill(hook, "1001,1002", &result, &number, &description) == XHOOK_OK)
 *       puts("closed by the user");
 *   else
 *       fprintf(stderr, "error %ld: %s\n", number, description ? description : "");
 *   xhook_free_string(description);
 *   xhook_release(hook);
 *
 * Threading. The component is apartment-threaded and has no threads of its own. All calls come
 * from one thread, the host's user-interface thread: the thread that runs the process's
 * QApplication. A process without one gets it from the first xhook_create, on the calling
 * thread, which from then on is that thread; a later xhook_create or xhook_hook_bill from any
 * other thread fails with XHOOK_E_FAIL, error 5 and a description that says so. xhook_hook_bill
 * runs the window's event loop inside the call. A host that has several threads calls from one
 * of them only.
 *
 * Instances. An instance is named by the pointer that xhook_create gave. The component keeps a
 * table of the instances it gave and has not released: a pointer that is not in it (released
 * already, or never given by xhook_create) is answered with XHOOK_E_INVALIDARG, and nothing is
 * done with it. A pointer is known by its address: one released and then given again by a later
 * xhook_create names that new instance.
 *
 * Status codes. The functions that return int or long answer XHOOK_OK (0) on success and a
 * negative code on failure:
 *   XHOOK_E_INVALIDARG         a required pointer is NULL, or an instance pointer is not one of
 *                              the live instances (nothing else is done, no error number or
 *                              description is given);
 *   XHOOK_E_FAIL               the call failed: *error_number and *error_description say why;
 *   XHOOK_E_CLASSNOTAVAILABLE  DllGetClassObject was asked for another class.
 * DllCanUnloadNow answers XHOOK_OK or XHOOK_FALSE (1).
 *
 * Errors. On XHOOK_E_FAIL, *error_number receives the error's number: a runtime error number
 * (6 overflow, 13 type mismatch, 429 the document finder cannot be created, 5 invalid
 * procedure call, ...) or the database provider's error number; *error_description receives its
 * description as a UTF-8 text. On XHOOK_OK *error_number is 0 and *error_description NULL.
 * Either out-argument may be NULL when the caller does not want it.
 *
 * Strings. Every text passed in or out is UTF-8 and ends in NUL. Texts passed in stay the
 * caller's; the component copies what it keeps. A text returned through error_description
 * belongs to the caller, who frees it with xhook_free_string (never with free: the component's
 * allocator need not be the host's).
 *
 * Running without a user. With the environment variable XHOOK_CLOSE_WINDOW_AFTER_MS set to a
 * number of milliseconds, the window closes itself that long after xhook_hook_bill has shown it,
 * as if the user had closed it (column widths are saved), and the call returns. Hosts run
 * unattended this way, for example on the offscreen platform (QT_QPA_PLATFORM=offscreen).
 * Message boxes that the window opens are not closed by it.
 */

#ifdef __cplusplus
extern "C" {
#endif

#define XHOOK_OK 0
#define XHOOK_FALSE 1                    /* DllCanUnloadNow: objects are still alive */
#define XHOOK_E_FAIL (-2147467259)       /* the call failed; see the error number */
#define XHOOK_E_INVALIDARG (-2147024809) /* a NULL instance or argument */
#define XHOOK_E_CLASSNOTAVAILABLE (-2147221231)

/* The class's identity in the per-user component registry. */
#define XHOOK_CLSID "{1A2E203C-B87C-4C63-B6BE-34BADCC4D809}"
#define XHOOK_PROGID "DeZuvarEDodOziv8.clsXoutBillHook"

/* An instance of the class clsXoutBillHook. It holds no state of its own: the invoice and
 * outbound id lists, the window and the settings read live once per thread and are shared by all
 * instances. */
typedef struct xhook_instance xhook_instance;

/* Creates a clsXoutBillHook: reads the user's settings (application "DuVariz2007") into the
 * thread's shared state, and creates the QApplication when the process has none. On success
 * *instance is the new instance, to be released with xhook_release; on failure it is NULL and the
 * error is reported: a setting that does not convert (6, 13), or a call from a thread other than
 * the one that runs the QApplication (5). */
int xhook_create(xhook_instance** instance, long* error_number, char** error_description);

/* Releases an instance; NULL is allowed (XHOOK_OK). The window, the id lists and the settings
 * stay. XHOOK_E_INVALIDARG for a pointer that is not a live instance: released already (a second
 * release), or never given by xhook_create; nothing is done with it then. */
int xhook_release(xhook_instance* instance);

/* hookBill: appends `bill_inter_ids` (decimal invoice ids separated by ",", usually one) to the
 * thread's invoice list, loads the invoice grid, and shows the reconciliation window modally
 * until the user closes it. Called while the window is already shown (from inside its event
 * loop), it refreshes the grid and returns at once. `bill_inter_ids` is not changed. On XHOOK_OK
 * *result (when not NULL) is 0, the method's False.
 * The text is held to the id-list rule: items separated by ",", each decimal ASCII digits or
 * empty (an empty item names no document; "" appends a lone "," to a list that holds ids). Any
 * other character (a letter, ";", a blank, a full-width digit, a leading byte-order mark) fails
 * the call with XHOOK_E_FAIL and error 5 before anything is appended, without a window or a
 * message box. An error that ends the call later (the database cannot be opened, a call from
 * another thread) gives XHOOK_E_FAIL; ids already appended stay. XHOOK_E_INVALIDARG for a NULL
 * text or an instance that is not live. */
int xhook_hook_bill(xhook_instance* instance, const char* bill_inter_ids, int* result,
                    long* error_number, char** error_description);

/* Frees a text that the component returned; NULL is allowed. */
void xhook_free_string(char* text);

/* A document finder that the host provides in its own process. The window's outbound lookup
 * creates the finder registered under the finder's class identifier
 * XHOOK_DOCUMENT_FINDER_CLSID: a finder registered here wins over a plugin that the per-user
 * component registry names for that class. The component calls, on the user-interface thread:
 *   find(context, access_code, filter): shows the host's lookup over the outbound documents,
 *     limited by `filter` (an SQL condition that begins with " and "), and returns when the user
 *     has finished or cancelled. `access_code` is the fixed text "@#^wmzt". Both texts are the
 *     component's and valid only during the call.
 *   selected_ids(context): after find, the internal ids of the documents chosen, separated by
 *     "," ("101,102"); "" or NULL when none was chosen. The text stays the host's; the component
 *     copies it before it calls the finder again.
 * `context` is passed back unchanged. */
typedef struct xhook_document_finder {
    void* context;
    void (*find)(void* context, const char* access_code, const char* filter);
    const char* (*selected_ids)(void* context);
} xhook_document_finder;

#define XHOOK_DOCUMENT_FINDER_CLSID "{F295C352-DBCE-4A72-B206-4C4E87837FD8}"

/* Registers `finder` in this process under the class identifier `clsid`; the component copies
 * the structure, so it may live on the caller's stack. NULL for `finder` removes the
 * registration. XHOOK_E_INVALIDARG when `clsid` is NULL, or `finder` lacks one of its two
 * functions. */
int xhook_register_document_finder(const char* clsid, const xhook_document_finder* finder);

/* The standard server exports. DllRegisterServer records the class in the per-user component
 * registry (section [CLSID] with ProgID, Path of this library, ThreadingModel=Apartment, LIBID,
 * Version; see the README); DllUnregisterServer removes exactly that section. Both answer
 * XHOOK_OK or XHOOK_E_FAIL. DllGetClassObject gives, for the class's CLSID text (any case), a
 * factory whose create_instance behaves as xhook_create; the factory is static and is not freed.
 * DllCanUnloadNow answers XHOOK_OK when no instance is alive, XHOOK_FALSE otherwise. */
typedef struct xhook_class_factory {
    int (*create_instance)(xhook_instance** instance, long* error_number, char** error_description);
} xhook_class_factory;

long DllRegisterServer(void);
long DllUnregisterServer(void);
long DllGetClassObject(const char* clsid, const xhook_class_factory** factory);
long DllCanUnloadNow(void);

#ifdef __cplusplus
}
#endif

#endif
