#include "win32/dpi_win32.h"

#include "ui/dpi_scale.h"

namespace {

// Declared here: the headers of older SDKs lack them, and so do older systems.
using DpiContext = HANDLE;
const DpiContext kPerMonitorAware = reinterpret_cast<DpiContext>(static_cast<LONG_PTR>(-3));
const DpiContext kPerMonitorAwareV2 = reinterpret_cast<DpiContext>(static_cast<LONG_PTR>(-4));
using SetThreadDpiAwarenessContextFn = DpiContext(WINAPI*)(DpiContext);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();

template <typename F>
F User32(HMODULE user32, const char* name) {
    return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// Written before the first window thread starts (CreateThread orders it before
// that thread's reads), never again.
struct DpiFunctions {
    bool prepared = false;
    SetThreadDpiAwarenessContextFn setThreadContext = nullptr;
    GetDpiForWindowFn forWindow = nullptr;
    GetDpiForSystemFn forSystem = nullptr;
} g_functions;

int ScreenDpi(HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return kBaseDpi;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

void PrepareDpiFunctions() {
    if (g_functions.prepared) return;
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    g_functions.setThreadContext = User32<SetThreadDpiAwarenessContextFn>(user32, "SetThreadDpiAwarenessContext");
    g_functions.forWindow = User32<GetDpiForWindowFn>(user32, "GetDpiForWindow");
    g_functions.forSystem = User32<GetDpiForSystemFn>(user32, "GetDpiForSystem");
    g_functions.prepared = true;
}

DpiAwareness MakeThreadPerMonitorAware() {
    const auto set = g_functions.setThreadContext;
    if (!set) return DpiAwareness::inherited;
    if (set(kPerMonitorAwareV2)) return DpiAwareness::perMonitorV2;
    if (set(kPerMonitorAware)) return DpiAwareness::perMonitor;
    return DpiAwareness::inherited;
}

int WindowDpi(HWND window) {
    if (g_functions.forWindow && window)
        if (const UINT dpi = g_functions.forWindow(window)) return static_cast<int>(dpi);
    return ScreenDpi(window);
}

int SystemDpi() {
    if (g_functions.forSystem)
        if (const UINT dpi = g_functions.forSystem()) return static_cast<int>(dpi);
    return ScreenDpi(nullptr);
}

ScaledFont::ScaledFont(HDC dc, int dpi) : dc_(dc) {
    const int system = SystemDpi();
    if (dpi == system) return;
    LOGFONTW font{};
    if (!GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font)) return;
    font.lfHeight = ScaleBetween(font.lfHeight, dpi, system);
    font.lfWidth = ScaleBetween(font.lfWidth, dpi, system);
    font_ = CreateFontIndirectW(&font);
    if (font_) old_ = SelectObject(dc, font_);
}

ScaledFont::~ScaledFont() {
    if (!font_) return;
    SelectObject(dc_, old_);
    DeleteObject(font_);
}

DialogDpi::DialogDpi(HWND dialog, DpiAwareness awareness)
    : dialog_(dialog), awareness_(awareness), dpi_(WindowDpi(dialog)) {}

DialogDpi::~DialogDpi() {
    if (font_) DeleteObject(font_);
}

bool DialogDpi::Changed(WPARAM wParam, LPARAM lParam) {
    const int from = dpi_, to = LOWORD(wParam);
    dpi_ = to;
    if (awareness_ == DpiAwareness::perMonitorV2 || to <= 0 || to == from) return false;
    const auto scale = [&](LONG v) { return ScaleBetween(static_cast<int>(v), to, from); };
    for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&r), 2);
        MoveWindow(child, scale(r.left), scale(r.top), scale(r.right - r.left), scale(r.bottom - r.top), TRUE);
    }
    LOGFONTW font{};
    const auto current = reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0));
    if (current && GetObjectW(current, sizeof font, &font)) {
        font.lfHeight = scale(font.lfHeight);
        font.lfWidth = scale(font.lfWidth);
        if (HFONT scaled = CreateFontIndirectW(&font)) {
            SendMessageW(dialog_, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), FALSE);
            for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), TRUE);
            if (font_) DeleteObject(font_);
            font_ = scaled;
        }
    }
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(dialog_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}
