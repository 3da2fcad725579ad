#include "plugin/app_win32.h"

#include "win32/window_thread_win32.h"

CTestApp theApp;

void CTestApp::ExitInstance() {
    // Runs under the loader lock: the stop waits only until the window thread is
    // done with our code, never for its exit. Then give it time to leave the last
    // instructions it runs here.
    StopWindowThread(true);
    files.CloseKept();
    Sleep(20);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            theApp.instance = instance;
            DisableThreadLibraryCalls(instance);
            break;
        case DLL_PROCESS_DETACH:
            // At process exit (reserved non-null) every other thread is already gone.
            if (reserved == nullptr) theApp.ExitInstance();
            break;
        default:
            break;
    }
    return TRUE;
}
