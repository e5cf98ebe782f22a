// Uses the installed component's C++ and C surfaces without creating any window: prints the
// class's ProgID and whether the library could be unloaded (no instance is alive, so it can).

#include <DeZuvarEDodOziv8/clsXoutBillHook.h>
#include <DeZuvarEDodOziv8/xouthook_c.h>

#include <cstdio>

int main() {
    std::printf("%s\n", DeZuvarEDodOziv8::kProgId);
    const long canUnload = DllCanUnloadNow();
    std::printf("DllCanUnloadNow=%ld\n", canUnload);
    return canUnload == XHOOK_OK && DeZuvarEDodOziv8::clsXoutBillHook::liveInstances() == 0 ? 0 : 1;
}
