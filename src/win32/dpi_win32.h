// DPI awareness of the window thread and the DPI of its windows, on every
// Windows version: what a version lacks is looked up at run time, not linked.
#pragma once

#include <windows.h>

enum class DpiAwareness {
    inherited,       // the system offers no per-thread awareness: the host's stays
    perMonitor,      // per monitor, without the dialog manager's rescaling
    perMonitorV2,    // per monitor; dialogs rescale themselves when the DPI changes
};

// Looks up what the system offers, once, on the thread that starts the window
// thread: a look-up takes the loader lock, which an unload holds while it waits
// for the window thread, so that thread must never need one.
void PrepareDpiFunctions();

// Makes the calling thread per-monitor aware where the system offers it. Only the
// thread: the process's awareness belongs to the host.
DpiAwareness MakeThreadPerMonitorAware();

// The DPI the window is drawn at: its monitor's under per-monitor awareness,
// otherwise the one its process sees.
int WindowDpi(HWND window);

// The DPI of the desktop's coordinates and of the system's stock fonts.
int SystemDpi();

// A copy of the context's font scaled from the system DPI to `dpi`, selected into
// the context for the object's lifetime; nothing is selected at the system DPI,
// where the font is already right.
class ScaledFont {
public:
    ScaledFont(HDC dc, int dpi);
    ScaledFont(const ScaledFont&) = delete;
    ScaledFont& operator=(const ScaledFont&) = delete;
    ~ScaledFont();

private:
    HDC dc_;
    HFONT font_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// What a dialog does when its window comes to a monitor of another DPI
// (WM_DPICHANGED). Under per-monitor v2 the dialog manager rescales the dialog,
// its controls and their font itself; otherwise the dialog takes the suggested
// rectangle and its controls and their font are scaled here.
class DialogDpi {
public:
    DialogDpi(HWND dialog, DpiAwareness awareness);
    DialogDpi(const DialogDpi&) = delete;
    DialogDpi& operator=(const DialogDpi&) = delete;
    ~DialogDpi();

    // True when handled here (the dialog procedure answers TRUE); false leaves the
    // message to the dialog manager.
    bool Changed(WPARAM wParam, LPARAM lParam);

private:
    HWND dialog_;
    DpiAwareness awareness_;
    int dpi_;
    HFONT font_ = nullptr;  // the controls' font once scaled here
};
