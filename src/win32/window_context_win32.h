// What the window thread's three windows share: the contest data they show, the
// host link, their handles, and small helpers all three use.
#pragma once

#include <windows.h>

#include "contest/contest_state.h"
#include "win32/dpi_win32.h"
#include "win32/host_link_win32.h"
#include "ui/setup_logic.h"
#include "ui/window_state.h"

class Env;

// Posted (never sent) to the setup window to bring the side windows up to date.
inline constexpr UINT WM_UPDATE_WINDOWS = WM_USER + 500;

// Lives on the window thread's stack for as long as the setup window runs; only
// that thread touches it.
struct WindowContext {
    HINSTANCE instance;
    WindowShared& shared;
    WindowState& windows;
    Env& env;
    HostLink& host;
    HWND setupWindow = nullptr;
    HWND multiplierWindow = nullptr;  // g_multiplierWindow, null while closed
    HWND prefixWindow = nullptr;      // g_prefixWindow, null while closed
    HANDLE ready = nullptr;     // set once the windows are up, updated and painted
    HANDLE stopping = nullptr;  // set once the module asks the window thread to stop
    DpiAwareness dpiAwareness = DpiAwareness::inherited;  // the window thread's

    bool Russian() const;
};

// Start-up steps all three windows take.
void MoveToStoredPosition(HWND window, WindowContext& ctx, PlacedWindow which);
void MakeTopMost(HWND window);
void SetBigIcon(HWND window, HINSTANCE instance);
void DisableCloseItem(HWND window);
// Position save as the mouse moves over a window.
void SavePositionOf(HWND window, WindowContext& ctx, PlacedWindow which);
void SetText(HWND window, const std::wstring& text);
// The answer to WM_CTLCOLOR* of the pale-yellow windows: black text on the
// background colour, and their brush.
INT_PTR PaleYellowColours(HDC dc, HBRUSH brush);

// WM_DPICHANGED of any of the three windows: the dialog follows the new DPI
// (`dpi`) and its info button, if any, is drawn again. The dialog procedure's answer.
INT_PTR FollowDpiChange(HWND window, DialogDpi& dpi, WPARAM wParam, LPARAM lParam);

// What both side windows do with Enter, Esc, the Close command and WM_CLOSE: only
// the module closes them. True when the message was one of those; `result` is
// then the dialog procedure's answer.
bool HandleSideWindowClosing(HWND window, UINT message, WPARAM wParam, INT_PTR& result);
