// The two side windows, one dialog class told apart by a table:
// - the multiplier window (template 116), resizable, listing the exchanges worked
//   on the current band, drawn by its button 1003, a CCqWwInfoButton;
// - Prev_QSO (template 114), fixed-size and pale yellow, showing the prefixes
//   worked on the band or the previous QSOs with the call being entered, drawn by
//   its button 1003, a CCqWpxRtty.
#include <windows.h>

#include "win32/side_window_win32.h"

#include "resource.h"
#include "ui/dpi_scale.h"
#include "ui/info_pictures.h"
#include "win32/dialog_proc_win32.h"
#include "win32/dpi_win32.h"
#include "win32/info_buttons_win32.h"

namespace {

struct SideWindowKind {
    int templateId;
    PlacedWindow placed;
    HWND WindowContext::*handle;  // the setup window's handle of it
    void (*draw)(WindowShared&, const WindowState&, const DRAWITEMSTRUCT&);
    bool resizable;   // its button follows the client area
    bool paleYellow;  // answers the colour messages
};

constexpr SideWindowKind kMultiplierKind{IDD_MULTIPLIER, PlacedWindow::multiplier, &WindowContext::multiplierWindow,
                                         &CCqWwInfoButton::DrawItem, /*resizable=*/true, /*paleYellow=*/false};
constexpr SideWindowKind kPrevQsoKind{IDD_PREV_QSO, PlacedWindow::prefix, &WindowContext::prefixWindow,
                                      &CCqWpxRtty::DrawItem, /*resizable=*/false, /*paleYellow=*/true};

// One per opening, freed with its window.
class SideDialog {
public:
    SideDialog(HWND window, WindowContext& ctx, const SideWindowKind& kind)
        : window_(window),
          ctx_(ctx),
          kind_(kind),
          brush_(kind.paleYellow ? CreateSolidBrush(kListBackground) : nullptr),
          dpi_(window, ctx.dpiAwareness) {}
    SideDialog(const SideDialog&) = delete;
    SideDialog& operator=(const SideDialog&) = delete;
    ~SideDialog() {
        if (brush_) DeleteObject(brush_);
    }

    void Initialise() {
        MoveToStoredPosition(window_, ctx_, kind_.placed);
        if (ctx_.windows.windowsOnTop) MakeTopMost(window_);
        SetBigIcon(window_, ctx_.instance);
        DisableCloseItem(window_);
    }
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    // However the window went, the setup window must not keep its handle.
    void Destroyed() {
        HWND& handle = ctx_.*kind_.handle;
        if (handle == window_) handle = nullptr;
    }

private:
    HWND window_;
    WindowContext& ctx_;
    const SideWindowKind& kind_;
    HBRUSH brush_;
    DialogDpi dpi_;
};

// The button follows the client area, 1 pixel in from the top and left and 3
// from the right and bottom (at 96 DPI).
void FitButton(HWND window) {
    HWND button = GetDlgItem(window, IDC_INFO_BUTTON);
    RECT client;
    if (!button || !GetClientRect(window, &client)) return;
    const int dpi = WindowDpi(window), inset = ScaleToDpi(1, dpi), margins = ScaleToDpi(4, dpi);
    MoveWindow(button, inset, inset, client.right - margins, client.bottom - margins, TRUE);
}

INT_PTR SideDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return brush_ ? PaleYellowColours(reinterpret_cast<HDC>(wParam), brush_) : FALSE;
        case WM_SETCURSOR:
            SavePositionOf(window_, ctx_, kind_.placed);
            return FALSE;
        case WM_SIZE:
            if (kind_.resizable) FitButton(window_);
            return FALSE;
        case WM_DPICHANGED:
            return FollowDpiChange(window_, dpi_, wParam, lParam);
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlID != IDC_INFO_BUTTON) return FALSE;
            kind_.draw(ctx_.shared, ctx_.windows, item);
            return TRUE;
        }
        default: {
            INT_PTR result = FALSE;
            return HandleSideWindowClosing(window_, message, wParam, result) ? result : FALSE;
        }
    }
}

class Multiplier final : public SideDialog {
public:
    Multiplier(HWND window, WindowContext& ctx) : SideDialog(window, ctx, kMultiplierKind) {}
};

class Prev_QSO final : public SideDialog {
public:
    Prev_QSO(HWND window, WindowContext& ctx) : SideDialog(window, ctx, kPrevQsoKind) {}
};

template <typename T>
HWND OpenSideWindow(WindowContext& ctx, const SideWindowKind& kind) {
    HWND window = CreateDialogParamW(ctx.instance, MAKEINTRESOURCEW(kind.templateId), nullptr, DialogProc<T>,
                                     reinterpret_cast<LPARAM>(&ctx));
    if (window) {
        if (kind.resizable) FitButton(window);
        ShowWindow(window, SW_SHOW);
    }
    return window;
}

}  // namespace

HWND OpenMultiplierWindow(WindowContext& ctx) { return OpenSideWindow<Multiplier>(ctx, kMultiplierKind); }

HWND OpenPrevQsoWindow(WindowContext& ctx) { return OpenSideWindow<Prev_QSO>(ctx, kPrevQsoKind); }
