// The side windows' owner-drawn buttons (control 1003): each repaint is built
// off-screen and reaches the screen in one copy.
#pragma once

#include <windows.h>

#include "ui/info_pictures.h"

// An off-screen copy of the target's clip box; drawing on it uses the target's
// coordinates, and the destructor copies the result back in one BitBlt.
class CMemDC {
public:
    explicit CMemDC(HDC target);
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;
    ~CMemDC();

    // The context to draw on: the off-screen one, or the target itself when no
    // off-screen bitmap could be made.
    HDC dc() const { return memory_ ? memory_ : target_; }

private:
    HDC target_;
    RECT rect_{};
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
};

// The multiplier window's button: the exchanges worked on the current band.
struct CCqWwInfoButton {
    static void DrawItem(WindowShared& shared, const WindowState& ws, const DRAWITEMSTRUCT& item);
};

// The worked-prefix window's button: its prefixes, or the previous-QSO table.
struct CCqWpxRtty {
    static void DrawItem(WindowShared& shared, const WindowState& ws, const DRAWITEMSTRUCT& item);
};
