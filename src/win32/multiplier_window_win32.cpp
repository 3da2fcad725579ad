// Multiplier: the resizable side window listing the exchanges worked on the
// current band (template 116, drawn by its button 1003, a CCqWwInfoButton).
#include <windows.h>

#include <memory>

#include "resource.h"
#include "win32/info_buttons_win32.h"
#include "win32/window_context_win32.h"

namespace {

// One per opening, freed with its window.
class Multiplier {
public:
    Multiplier(HWND window, WindowContext& ctx) : window_(window), ctx_(ctx) {}
    void Initialise();
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    // However the window went, the setup window must not keep its handle.
    void Destroyed() {
        if (ctx_.multiplierWindow == window_) ctx_.multiplierWindow = nullptr;
    }

private:
    HWND window_;
    WindowContext& ctx_;
};

// The button follows the client area, 1 pixel in from the top and left and 3
// from the right and bottom.
void FitButton(HWND window) {
    HWND button = GetDlgItem(window, IDC_INFO_BUTTON);
    RECT client;
    if (button && GetClientRect(window, &client))
        MoveWindow(button, 1, 1, client.right - 4, client.bottom - 4, TRUE);
}

void Multiplier::Initialise() {
    MoveToStoredPosition(window_, ctx_, PlacedWindow::multiplier);
    if (ctx_.windows.windowsOnTop) MakeTopMost(window_);
    SetBigIcon(window_, ctx_.instance);
    DisableCloseItem(window_);
}

INT_PTR Multiplier::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR:
            SavePositionOf(window_, ctx_, PlacedWindow::multiplier);
            return FALSE;
        case WM_SIZE:
            FitButton(window_);
            return FALSE;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlID != IDC_INFO_BUTTON) return FALSE;
            CCqWwInfoButton::DrawItem(ctx_.state, ctx_.windows, item);
            return TRUE;
        }
        default: {
            INT_PTR result = FALSE;
            return HandleSideWindowClosing(window_, message, wParam, result) ? result : FALSE;
        }
    }
}

}  // namespace

HWND OpenMultiplierWindow(WindowContext& ctx) {
    HWND window = CreateDialogParamW(ctx.instance, MAKEINTRESOURCEW(IDD_MULTIPLIER), nullptr, SideWindowProc<Multiplier>,
                                     reinterpret_cast<LPARAM>(&ctx));
    if (window) {
        FitButton(window);
        ShowWindow(window, SW_SHOW);
    }
    return window;
}
