#include "dll/app_win32.h"

#include <memory>
#include <vector>

#include "win32/window_thread_win32.h"

namespace {

HINSTANCE g_instance = nullptr;
std::unique_ptr<CTestApp> g_app;
std::vector<std::unique_ptr<CTestApp>> g_retired;  // freed with the module

}  // namespace

bool CTestApp::ExitInstance(bool unloading) {
    // Under the loader lock the stop waits only until the window thread is done
    // with our code, never for its exit. Then give it time to leave the last
    // instructions it runs here.
    const bool done = StopWindowThread(unloading);
    live.Stop();
    files.CloseKept();
    if (unloading) Sleep(20);
    return done;
}

void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

HINSTANCE ModuleInstance() { return g_instance; }

CTestApp& App() {
    if (!g_app) g_app = std::make_unique<CTestApp>(g_instance, false);
    return *g_app;
}

void RenewApp(bool windowThreadHoldsModule) {
    auto fresh = std::make_unique<CTestApp>(g_instance, windowThreadHoldsModule);
    if (g_app && !g_app->ExitInstance(false)) g_retired.push_back(std::move(g_app));
    g_app = std::move(fresh);
}

void ExitApp() {
    if (g_app) g_app->ExitInstance(true);
}
