#include "dialog_watch_win32.h"

#include <atomic>
#include <thread>

#include "win32/event_win32.h"
#include "window_driver.h"

struct DialogWatcher::State {
    std::string caption;
    std::function<void(HWND)> onFound;
    Event found, stop;
    std::atomic<HWND> dialog{nullptr};
    HHOOK hook = nullptr;
    std::thread driver;
};

namespace {

// A hook procedure has no argument of ours; the one watcher's state lives here.
std::atomic<DialogWatcher::State*> g_watching{nullptr};

// Called from a modal dialog's own message loop for each message it takes: the
// dialog is up and running when the first one comes.
LRESULT CALLBACK OnDialogMessage(int code, WPARAM wParam, LPARAM lParam) {
    DialogWatcher::State* s = g_watching.load();
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && s && msg && msg->hwnd && !s->dialog.load()) {
        const HWND window = GetAncestor(msg->hwnd, GA_ROOT);
        char cls[16] = {};
        GetClassNameA(window, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(window) && WindowText(window) == s->caption) {
            s->dialog = window;
            SetEvent(s->found.Get());
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

DialogWatcher::DialogWatcher(std::string caption, std::function<void(HWND)> onFound)
    : state_(std::make_shared<State>()) {
    state_->caption = std::move(caption);
    state_->onFound = std::move(onFound);
    g_watching = state_.get();
    state_->hook = SetWindowsHookExW(WH_MSGFILTER, OnDialogMessage, nullptr, GetCurrentThreadId());
    state_->driver = std::thread([s = state_.get()] {
        const HANDLE events[2] = {s->found.Get(), s->stop.Get()};
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0) s->onFound(s->dialog.load());
    });
}

DialogWatcher::~DialogWatcher() {
    if (state_->hook) UnhookWindowsHookEx(state_->hook);
    g_watching = nullptr;
    SetEvent(state_->stop.Get());
    state_->driver.join();
}

bool DialogWatcher::seen() const { return state_->dialog.load() != nullptr; }
