#include "window_driver.h"

#include <thread>
#include <vector>

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
