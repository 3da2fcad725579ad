// The two side windows: the multiplier window and Prev_QSO, the worked-prefix
// and previous-QSO window.
#pragma once

#include <windows.h>

#include "win32/window_context_win32.h"

// Create and show a side window (modeless, no parent); null on failure.
HWND OpenMultiplierWindow(WindowContext& ctx);
HWND OpenPrevQsoWindow(WindowContext& ctx);
