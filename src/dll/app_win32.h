// CTestApp: the module's application object. Owns the platform adapter and the
// plug-in, built when the DLL loads and torn down when it unloads.
#pragma once

#include <windows.h>

#include "plugin/env_win32.h"
#include "plugin/stats_module.h"
#include "win32/files_win32.h"

class CTestApp {
public:
    CTestApp() : stats(env, files) {}

    // Unload step: stop the window thread before the module's code goes away.
    void ExitInstance();

    HINSTANCE instance = nullptr;
    Win32Env env;
    Win32Files files;
    StatsModule stats;
};

extern CTestApp theApp;
