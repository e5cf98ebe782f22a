#ifndef DEZUVAREDODOZIV8_XOUTHOOK_C_H
#define DEZUVAREDODOZIV8_XOUTHOOK_C_H

/* The plain C surface of the reconciliation component, for hosts in other languages.
 *
 * Threading: the component is apartment-threaded. Every call on one instance comes from the
 * thread that created it; the first xhook_create of a process that has no QApplication creates
 * one on the calling thread, which then is the component's user-interface thread.
 *
 * Status codes: XHOOK_OK (0) on success; a negative code on failure, with the error's number and
 * description in the out-arguments. Strings are UTF-8. A description returned through
 * `error_description` belongs to the caller, who frees it with xhook_free_string.
 * Any out-argument may be NULL when the caller does not want it.
 */

#ifdef __cplusplus
extern "C" {
#endif

#define XHOOK_OK 0
#define XHOOK_FALSE 1                     /* DllCanUnloadNow: objects are still alive */
#define XHOOK_E_FAIL (-2147467259)        /* the call failed; see the error number */
#define XHOOK_E_INVALIDARG (-2147024809)  /* a NULL instance or argument */
#define XHOOK_E_CLASSNOTAVAILABLE (-2147221231)

typedef struct xhook_instance xhook_instance;

/* Creates a clsXoutBillHook, reading the user's settings. On failure *instance is NULL. */
int xhook_create(xhook_instance** instance, long* error_number, char** error_description);

/* Releases an instance; NULL is allowed. The window and the shared state stay. */
void xhook_release(xhook_instance* instance);

/* hookBill: appends `bill_inter_ids` (decimal ids separated by ",") to the invoice list and shows
 * the reconciliation window modally until the user closes it. `result` receives 0 (False). */
int xhook_hook_bill(xhook_instance* instance, const char* bill_inter_ids, int* result,
                    long* error_number, char** error_description);

/* Frees a string that the component returned. */
void xhook_free_string(char* text);

/* The standard server exports. DllRegisterServer records the class in the per-user component
 * registry (CLSID, ProgID, library path, threading model, type library, version);
 * DllUnregisterServer removes exactly that. DllGetClassObject returns, for the class's CLSID
 * text, a factory whose create_instance behaves as xhook_create. DllCanUnloadNow answers XHOOK_OK
 * when no instance is alive, XHOOK_FALSE otherwise. */
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
