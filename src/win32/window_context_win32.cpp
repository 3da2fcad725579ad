// Helpers shared by the setup window and the side windows (Win32).
#include "win32/window_context_win32.h"


#include "resource.h"
#include "ui/info_pictures.h"
#include "win32/dpi_win32.h"

bool WindowContext::Russian() const {
    MutexLock lock(shared.lock);
    return shared.russianUi != 0;
}

void MoveToStoredPosition(HWND window, WindowContext& ctx, PlacedWindow which) {
    const Position p = LoadPosition(ctx.windows, ctx.env, which, SystemDpi());
    SetWindowPos(window, nullptr, p.left, p.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void MakeTopMost(HWND window) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void SetBigIcon(HWND window, HINSTANCE instance) {
    // A resource icon from LoadIcon is shared by the system: nothing to free.
    if (HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_STATS)))
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void DisableCloseItem(HWND window) {
    if (HMENU menu = GetSystemMenu(window, FALSE)) EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_DISABLED);
}

void SavePositionOf(HWND window, WindowContext& ctx, PlacedWindow which) {
    RECT r;
    if (GetWindowRect(window, &r)) SavePosition(ctx.windows, ctx.env, which, r.left, r.top, SystemDpi());
}

void SetText(HWND window, const std::wstring& text) { SetWindowTextW(window, text.c_str()); }

INT_PTR PaleYellowColours(HDC dc, HBRUSH brush) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, kListBackground);
    return reinterpret_cast<INT_PTR>(brush);
}

INT_PTR FollowDpiChange(HWND window, DialogDpi& dpi, WPARAM wParam, LPARAM lParam) {
    const bool handled = dpi.Changed(wParam, lParam);
    if (HWND button = GetDlgItem(window, IDC_INFO_BUTTON)) InvalidateRect(button, nullptr, FALSE);
    if (handled) SetWindowLongPtrW(window, DWLP_MSGRESULT, 0);
    return handled ? TRUE : FALSE;
}

bool HandleSideWindowClosing(HWND window, UINT message, WPARAM wParam, INT_PTR& result) {
    switch (message) {
        case WM_COMMAND:
            // Enter and Esc must not end the window behind the setup window's back.
            if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return false;
            result = TRUE;
            return true;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != SC_CLOSE) return false;
            SetWindowLongPtrW(window, DWLP_MSGRESULT, 0);
            result = TRUE;
            return true;
        case WM_CLOSE:
            DestroyWindow(window);
            result = TRUE;
            return true;
        default:
            return false;
    }
}
