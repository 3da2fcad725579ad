// The dialog procedure of the window thread's three dialogs, one template for
// all: a class T built from the window and the context at WM_INITDIALOG (its
// Initialise sets the window up), asked for every other message (Handle), and
// deleted once the window is gone (after its Destroyed).
#pragma once

#include <windows.h>

#include "win32/window_context_win32.h"
#include "win32/window_signals_win32.h"

template <typename T>
INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    NoteWindowProgress();
    try {
        if (message == WM_INITDIALOG) {
            self = new T(window, *reinterpret_cast<WindowContext*>(lParam));
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
