// Finds and drives the plug-in's dialogs and message boxes from a second thread,
// as an operator would: read their texts, press their buttons.
#pragma once

#include <windows.h>

#include <future>
#include <string>
#include <vector>

struct SeenDialog {
    bool found = false;
    std::string caption;
    std::string text;  // the message text of a message box
    HWND owner = nullptr;
    bool icon = false;  // a message box shows an icon
};

std::string WindowText(HWND hwnd);

// How long a test waits for a dialog of the plug-in's to appear: a loaded,
// emulated machine took over ten seconds, and a dialog no one answers hangs the
// suite.
inline constexpr DWORD kDialogWaitMs = 60000;

// Waits up to timeoutMs for a visible top-level dialog of this process whose
// caption equals `caption` (any caption when null). Returns null on time-out.
HWND WaitForDialog(const char* caption, DWORD timeoutMs = kDialogWaitMs);

// Clicks the dialog's button with the given id and waits until the click is handled.
void PressButton(HWND dialog, int id);

// One child control of a dialog as the operator would find it.
struct DialogControl {
    int id = 0;
    std::string className;  // "Edit", "ComboBox", "Static", "Button"
    std::string text;       // an edit's or a combo's text, a label's caption
    bool visible = false;
    bool enabled = false;
};

// Every child control of the dialog, in the template's order.
std::vector<DialogControl> ReadControls(HWND dialog);

// The entries of a combo box's list, in the order it shows them.
std::vector<std::string> ComboEntries(HWND dialog, int id);

// Replaces the text of an edit, or of a combo's edit field, by typing it as the
// operator would: select all, then one character at a time ("\r\n" is Enter).
void TypeInto(HWND dialog, int id, const std::string& text);

// Saves what the window shows, frame included, as a PNG file.
bool SaveWindowPng(HWND window, const std::string& path);
// Where a test keeps a screenshot: build/win32/artifacts, beside bin/.
std::string ArtifactPath(const std::string& name);

// A visible top-level window of this process with exactly this caption, any class.
HWND FindOurWindow(const std::wstring& caption);
// Visible top-level windows of this process, for checking that none are left.
std::vector<HWND> OurVisibleWindows();
std::wstring WindowTextW(HWND hwnd);
bool IsTopMost(HWND hwnd);
// GetMenuState of an item of the window's system menu (MF_DISABLED, MF_GRAYED).
UINT SystemMenuItemState(HWND hwnd, UINT item);

// What an area shows as painted, one COLORREF (0x00BBGGRR) a pixel; empty
// (0 by 0) when it could not be read.
struct ClientPixels {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;  // top row first
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A memory device context compatible with another, with a 32-bit top-down bitmap
// of width x height selected into it; restored and freed on the way out.
class Capture {
public:
    Capture(HDC compatibleWith, int width, int height);
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    bool ok() const { return old_ != nullptr && bits_ != nullptr; }
    HDC dc() const { return dc_; }
    // What has been drawn or copied into it so far.
    ClientPixels Pixels() const;

private:
    HDC dc_;
    int width_, height_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

// A window's device context, released on the way out: its client area (a null
// window: the screen) or the whole window, frame included.
class WindowDc {
public:
    enum Area { client, whole };
    explicit WindowDc(HWND window, Area area = client);
    ~WindowDc();
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The width x height pixels of `source` from (left, top).
ClientPixels CopyPixels(HDC source, int left, int top, int width, int height);
// The client area once the window's own thread has painted it.
ClientPixels CaptureClient(HWND hwnd);
// What the screen shows where the window is: a window of another process cannot
// be read through its own device context.
ClientPixels ScreenPixels(HWND window);

// On a second thread: waits for the next message box, records what it shows and
// presses OK. The future is ready once the box was handled or the wait timed out.
std::future<SeenDialog> AnswerNextMessageBox(const char* caption = nullptr, DWORD timeoutMs = kDialogWaitMs);
