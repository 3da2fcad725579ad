// The DLL's entry point: records the instance as the module loads and runs the
// exit step as it unloads (dll/engine_win32.h says which step that is).
#include <windows.h>

#include "dll/app_win32.h"
#include "dll/engine_win32.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            SetModuleInstance(instance);
            DisableThreadLibraryCalls(instance);
            break;
        case DLL_PROCESS_DETACH:
            // At process exit (reserved non-null) every other thread is already gone.
            if (reserved == nullptr) DetachModule();
            break;
        default:
            break;
    }
    return TRUE;
}
