// Multiplier: the resizable side window listing the exchanges worked on the
// current band (template 116, drawn by its button 1003, a CCqWwInfoButton).
#include <windows.h>

#include <memory>

#include "resource.h"
#include "ui/info_buttons_win32.h"
#include "ui/window_context_win32.h"

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
        case WM_COMMAND:
            // Enter and Esc must not end the window behind the setup window's back.
            return LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(window_);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK MultiplierProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Multiplier*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    try {
        if (message == WM_INITDIALOG) {
            auto owned = std::make_unique<Multiplier>(window, *reinterpret_cast<WindowContext*>(lParam));
            self = owned.release();
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->Initialise();
            return TRUE;
        }
        if (!self) return FALSE;
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->Destroyed();
            delete self;
            return FALSE;
        }
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        return FALSE;  // nothing may unwind into the system's dialog code
    }
}

}  // namespace

HWND OpenMultiplierWindow(WindowContext& ctx) {
    HWND window = CreateDialogParamW(ctx.instance, MAKEINTRESOURCEW(IDD_MULTIPLIER), nullptr, MultiplierProc,
                                     reinterpret_cast<LPARAM>(&ctx));
    if (window) {
        FitButton(window);
        ShowWindow(window, SW_SHOW);
    }
    return window;
}
