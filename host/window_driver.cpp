#include "window_driver.h"

#include <cstdint>
#include <thread>
#include <vector>

#include "png_writer.h"

namespace {

struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindOurDialog(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != "#32770") return TRUE;
    if (s->caption && WindowText(hwnd) != s->caption) return TRUE;
    s->found = hwnd;
    return FALSE;
}

}  // namespace

std::string WindowText(HWND hwnd) {
    int n = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(hwnd, text.data(), n + 1);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

HWND WaitForDialog(const char* caption, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        Search s{caption, nullptr};
        EnumWindows(FindOurDialog, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

void PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button)
        SendMessageA(button, BM_CLICK, 0, 0);
    else
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

std::future<SeenDialog> AnswerNextMessageBox(const char* caption, DWORD timeoutMs) {
    return std::async(std::launch::async, [caption, timeoutMs] {
        SeenDialog seen;
        HWND box = WaitForDialog(caption, timeoutMs);
        if (!box) return seen;
        seen.found = true;
        seen.caption = WindowText(box);
        seen.owner = GetWindow(box, GW_OWNER);
        // A message box's text is its static control 0xFFFF; its icon a static with SS_ICON.
        seen.text = WindowText(GetDlgItem(box, 0xFFFF));
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && GetDlgCtrlID(child) != 0xFFFF &&
                IsWindowVisible(child))
                seen.icon = true;
        }
        PressButton(box, IDOK);
        return seen;
    });
}

std::vector<DialogControl> ReadControls(HWND dialog) {
    std::vector<DialogControl> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        DialogControl c;
        c.id = GetDlgCtrlID(child);
        char cls[64] = {};
        GetClassNameA(child, cls, sizeof cls);
        c.className = cls;
        c.text = WindowText(child);
        c.visible = IsWindowVisible(child) != FALSE;
        c.enabled = IsWindowEnabled(child) != FALSE;
        controls.push_back(std::move(c));
    }
    return controls;
}

std::vector<std::string> ComboEntries(HWND dialog, int id) {
    std::vector<std::string> entries;
    const LRESULT count = SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::string entry(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry.data()));
        entry.resize(static_cast<size_t>(length > 0 ? length : 0));
        entries.push_back(std::move(entry));
    }
    return entries;
}

void TypeInto(HWND dialog, int id, const std::string& text) {
    HWND target = GetDlgItem(dialog, id);
    char cls[64] = {};
    GetClassNameA(target, cls, sizeof cls);
    // A drop-down combo takes its typing in the edit field it holds.
    if (lstrcmpiA(cls, "ComboBox") == 0) target = FindWindowExA(target, nullptr, "Edit", nullptr);
    if (!target) return;
    SendMessageA(target, EM_SETSEL, 0, -1);
    SendMessageA(target, WM_CHAR, VK_BACK, 1);  // an empty text is typed as a deletion
    for (char c : text) {
        if (c == '\n') continue;  // Enter arrives as '\r' alone
        SendMessageA(target, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
}

Capture::Capture(HDC compatibleWith, int width, int height)
    : dc_(CreateCompatibleDC(compatibleWith)), width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(compatibleWith, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
}

Capture::~Capture() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
}

ClientPixels Capture::Pixels() const {
    ClientPixels out;
    if (!ok()) return out;
    GdiFlush();
    out.width = width_;
    out.height = height_;
    out.pixels.reserve(static_cast<size_t>(width_) * static_cast<size_t>(height_));
    const auto* p = static_cast<const BYTE*>(bits_);
    for (int i = 0; i < width_ * height_; ++i, p += 4) out.pixels.push_back(RGB(p[2], p[1], p[0]));
    return out;
}

WindowDc::WindowDc(HWND window, Area area)
    : window_(window), dc_(area == whole ? GetWindowDC(window) : GetDC(window)) {}

WindowDc::~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
}

ClientPixels CopyPixels(HDC source, int left, int top, int width, int height) {
    if (!source || width <= 0 || height <= 0) return {};
    Capture capture(source, width, height);
    if (!capture.ok() || !BitBlt(capture.dc(), 0, 0, width, height, source, left, top, SRCCOPY)) return {};
    return capture.Pixels();
}

namespace {

BOOL CALLBACK NeedsPaint(HWND child, LPARAM found) {
    if (GetUpdateRect(child, nullptr, FALSE)) *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

// Redraws the window and its controls and waits until its thread has painted
// them: a window of another thread paints in its own time. Once no update region
// is left, a paint still under way ends before that thread takes the message sent
// after it.
void RedrawAndWait(HWND window, UINT frame) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | frame);
    for (int i = 0; i < 200; ++i) {
        bool pending = GetUpdateRect(window, nullptr, FALSE) != FALSE;
        EnumChildWindows(window, NeedsPaint, reinterpret_cast<LPARAM>(&pending));
        if (!pending) break;
        Sleep(10);
    }
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, nullptr);
}

}  // namespace

bool SaveWindowPng(HWND window, const std::string& path) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return false;
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
    WindowDc source(window, WindowDc::whole);
    if (!source.get()) return false;
    Capture capture(source.get(), width, height);
    if (!capture.ok()) return false;
    // Paint everything first, then copy what is on the screen; PrintWindow leaves
    // the controls out under Wine and serves only as the fallback.
    RedrawAndWait(window, RDW_FRAME);
    if (!BitBlt(capture.dc(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY) &&
        !PrintWindow(window, capture.dc(), 0))
        return false;

    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(width) * 3 * static_cast<size_t>(height));
    for (COLORREF c : capture.Pixels().pixels) rgb.insert(rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
    return WritePng(path, width, height, rgb);
}

std::string ArtifactPath(const std::string& name) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string dir(exe);
    dir.resize(dir.find_last_of("\\/"));      // ...\build\win32\bin
    dir.resize(dir.find_last_of("\\/") + 1);  // ...\build\win32\ .
    dir += "artifacts";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir + "\\" + name;
}

namespace {

struct OurWindows {
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOurWindows(HWND hwnd, LPARAM param) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd)) reinterpret_cast<OurWindows*>(param)->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> OurVisibleWindows() {
    OurWindows w;
    EnumWindows(CollectOurWindows, reinterpret_cast<LPARAM>(&w));
    return w.found;
}

std::wstring WindowTextW(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

HWND FindOurWindow(const std::wstring& caption) {
    for (HWND hwnd : OurVisibleWindows())
        if (WindowTextW(hwnd) == caption) return hwnd;
    return nullptr;
}

bool IsTopMost(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

UINT SystemMenuItemState(HWND hwnd, UINT item) {
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    return menu ? GetMenuState(menu, item, MF_BYCOMMAND) : static_cast<UINT>(-1);
}

ClientPixels CaptureClient(HWND hwnd) {
    RECT r{};
    if (!GetClientRect(hwnd, &r) || r.right <= 0 || r.bottom <= 0) return {};
    RedrawAndWait(hwnd, 0);
    const WindowDc source(hwnd);
    return CopyPixels(source.get(), 0, 0, r.right, r.bottom);
}

ClientPixels ScreenPixels(HWND window) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return {};
    const WindowDc screen(nullptr);
    return CopyPixels(screen.get(), r.left, r.top, r.right - r.left, r.bottom - r.top);
}
