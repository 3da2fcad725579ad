// CTestApp: the module's application object. Owns the plug-in and the platform
// adapters it works through. There is one for each time a host loads the plug-in:
// an engine that a new shell attaches to gets a fresh one (dll/engine_win32.h).
#pragma once

#include <windows.h>

#include "module/stats_module.h"
#include "win32/env_win32.h"
#include "win32/files_win32.h"
#include "win32/live_poster_win32.h"

class CTestApp {
public:
    // `windowThreadHoldsModule`: see Win32Env.
    CTestApp(HINSTANCE instance, bool windowThreadHoldsModule)
        : live(windowThreadHoldsModule),
          stats(env, files, &live),
          env(instance, stats.state().shared, stats.windows, windowThreadHoldsModule) {}
    CTestApp(const CTestApp&) = delete;
    CTestApp& operator=(const CTestApp&) = delete;

    // Exit step: stops the window thread and the live score poster and lets go
    // of the kept bad-QSO file.
    // `unloading`: the module is being unloaded (loader lock held). Returns
    // whether the window thread is done with the module's code.
    bool ExitInstance(bool unloading);

    Win32Files files;
    LivePoster live;
    StatsModule stats;  // holds `env`, which is built right after it
    Win32Env env;
};

// This module's instance, recorded when it loads.
void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();

// The application object the exports work on, made at the first call.
CTestApp& App();

// Replaces the application object with a fresh one. The old one goes once its
// window thread is done; one whose thread is still running is kept until the
// module unloads, since that thread reads it.
void RenewApp(bool windowThreadHoldsModule);

// The unload's exit step on the application object, when there is one.
void ExitApp();
