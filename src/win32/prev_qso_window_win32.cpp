// Prev_QSO: the fixed-size side window showing the prefixes worked on the band,
// or the previous QSOs with the call being entered (template 114, drawn by its
// button 1003, a CCqWpxRtty).
#include <windows.h>

#include <memory>

#include "resource.h"
#include "win32/info_buttons_win32.h"
#include "ui/info_pictures.h"
#include "win32/window_context_win32.h"

namespace {

// One per opening, freed with its window.
class Prev_QSO {
public:
    Prev_QSO(HWND window, WindowContext& ctx)
        : window_(window), ctx_(ctx), brush_(CreateSolidBrush(kListBackground)) {}
    Prev_QSO(const Prev_QSO&) = delete;
    Prev_QSO& operator=(const Prev_QSO&) = delete;
    ~Prev_QSO() {
        if (brush_) DeleteObject(brush_);
    }
    void Initialise();
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    // However the window went, the setup window must not keep its handle.
    void Destroyed() {
        if (ctx_.prefixWindow == window_) ctx_.prefixWindow = nullptr;
    }

private:
    HWND window_;
    WindowContext& ctx_;
    HBRUSH brush_;
};

void Prev_QSO::Initialise() {
    MoveToStoredPosition(window_, ctx_, PlacedWindow::prefix);
    if (ctx_.windows.windowsOnTop) MakeTopMost(window_);
    SetBigIcon(window_, ctx_.instance);
    DisableCloseItem(window_);
}

INT_PTR Prev_QSO::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return PaleYellowColours(reinterpret_cast<HDC>(wParam), brush_);
        case WM_SETCURSOR:
            SavePositionOf(window_, ctx_, PlacedWindow::prefix);
            return FALSE;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlID != IDC_INFO_BUTTON) return FALSE;
            CCqWpxRtty::DrawItem(ctx_.state, ctx_.windows, item);
            return TRUE;
        }
        default: {
            INT_PTR result = FALSE;
            return HandleSideWindowClosing(window_, message, wParam, result) ? result : FALSE;
        }
    }
}

}  // namespace

HWND OpenPrevQsoWindow(WindowContext& ctx) {
    HWND window = CreateDialogParamW(ctx.instance, MAKEINTRESOURCEW(IDD_PREV_QSO), nullptr, SideWindowProc<Prev_QSO>,
                                     reinterpret_cast<LPARAM>(&ctx));
    if (window) ShowWindow(window, SW_SHOW);
    return window;
}
