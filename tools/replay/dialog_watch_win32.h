// Answers one of the plug-in's dialogs while the plug-in's call that shows it
// blocks this thread. The dialog is seen by its own modal loop (a message-filter
// hook on this thread) as soon as that runs, not by looking for it now and then;
// it is then driven from a thread of its own, whose messages that loop serves.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

class DialogWatcher {
public:
    // Watches the dialogs this thread activates for one with the caption. One
    // watcher at a time.
    DialogWatcher(std::string caption, std::function<void(HWND)> onFound);
    ~DialogWatcher();  // unhooks, then waits for onFound to be done
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;
    bool seen() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};
