// WindowSurface: what the update and the setup window's check boxes do to the
// side windows. Implemented by the setup window on the window thread (Win32) and
// by fakes in tests.
#pragma once

#include <string>

// The two side windows: the multiplier window and the worked-prefix window.
enum class SideWindow { multiplier, prefix };

// A caption: fixed texts in UTF-8 around a text from the host in its own code
// page (the call), so the Russian texts show whatever that code page is.
struct Caption {
    std::string head;  // UTF-8
    std::string call;  // the host's code page
    std::string tail;  // UTF-8

    std::string Joined() const { return head + call + tail; }
    bool operator==(const Caption&) const = default;
};

class WindowSurface {
public:
    WindowSurface() = default;
    WindowSurface(const WindowSurface&) = delete;
    WindowSurface& operator=(const WindowSurface&) = delete;
    virtual ~WindowSurface() = default;

    virtual bool IsOpen(SideWindow w) = 0;
    // Creates and shows the window; it applies the on-top setting as it starts.
    virtual void Open(SideWindow w) = 0;
    virtual void Close(SideWindow w) = 0;
    virtual void SetCaption(SideWindow w, const Caption& caption) = 0;
    // Asks the window's button to repaint, without erasing it first.
    virtual void Repaint(SideWindow w) = 0;
    // Posts the setup window an update request.
    virtual void PostUpdate() = 0;
};
