#include "win32/window_signals_win32.h"

#include <atomic>

namespace {

std::atomic<HWND> g_setupWindow{nullptr};
std::atomic<unsigned> g_windowProgress{0};

}  // namespace

void NoteWindowProgress() { ++g_windowProgress; }

unsigned WindowProgress() { return g_windowProgress.load(); }

bool PublishSetupWindow(HWND window, HANDLE stopping) {
    g_setupWindow = window;
    return WaitForSingleObject(stopping, 0) != WAIT_OBJECT_0;
}

void ClearSetupWindow() { g_setupWindow = nullptr; }

HWND SetupWindow() { return g_setupWindow.load(); }
