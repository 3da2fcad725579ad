#include "plugin/app_win32.h"

CTestApp theApp;

void CTestApp::ExitInstance() {
    // The window thread arrives with the operator windows; until then nothing runs
    // outside the host's calls. Give a thread that just ended time to leave our code.
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
