// What the window thread's three windows share: the module state they show, the
// host link, their handles, and small helpers all three use.
#pragma once

#include <windows.h>

#include "log/contest_state.h"
#include "ui/host_link_win32.h"
#include "ui/setup_logic.h"
#include "ui/window_state.h"

class Env;

// Posted (never sent) to the setup window to bring the side windows up to date.
inline constexpr UINT WM_UPDATE_WINDOWS = WM_USER + 500;

// Lives on the window thread's stack for as long as the setup window runs; only
// that thread touches it.
struct WindowContext {
    HINSTANCE instance;
    ContestState& state;
    WindowState& windows;
    Env& env;
    HostLink& host;
    HWND setupWindow = nullptr;
    HWND multiplierWindow = nullptr;  // g_multiplierWindow, null while closed
    HWND prefixWindow = nullptr;      // g_prefixWindow, null while closed
    HANDLE ready = nullptr;  // set once the windows are up, updated and painted

    bool Russian() const;
};

// Runs the setup window's modal loop; returns when it is closed.
void RunSetupDialog(WindowContext& ctx);

// Create and show a side window (modeless, no parent); null on failure.
HWND OpenMultiplierWindow(WindowContext& ctx);
HWND OpenPrevQsoWindow(WindowContext& ctx);

// Start-up steps all three windows take.
void MoveToStoredPosition(HWND window, WindowContext& ctx, PlacedWindow which);
void MakeTopMost(HWND window);
void SetBigIcon(HWND window, HINSTANCE instance);
void DisableCloseItem(HWND window);
// Position save as the mouse moves over a window.
void SavePositionOf(HWND window, WindowContext& ctx, PlacedWindow which);
void SetText(HWND window, const std::wstring& text);
