// Finds and drives the plug-in's dialogs and message boxes from a second thread,
// as an operator would: read their texts, press their buttons.
#pragma once

#include <windows.h>

#include <future>
#include <string>

struct SeenDialog {
    bool found = false;
    std::string caption;
    std::string text;  // the message text of a message box
    HWND owner = nullptr;
    bool icon = false;  // a message box shows an icon
};

std::string WindowText(HWND hwnd);

// Waits up to timeoutMs for a visible top-level dialog of this process whose
// caption equals `caption` (any caption when null). Returns null on time-out.
HWND WaitForDialog(const char* caption, DWORD timeoutMs);

// Clicks the dialog's button with the given id and waits until the click is handled.
void PressButton(HWND dialog, int id);

// On a second thread: waits for the next message box, records what it shows and
// presses OK. The future is ready once the box was handled or the wait timed out.
std::future<SeenDialog> AnswerNextMessageBox(const char* caption = nullptr, DWORD timeoutMs = 10000);
