// The setup window: the window thread's modal dialog with the three check boxes,
// which takes the update requests and opens and closes the side windows.
#pragma once

#include "win32/window_context_win32.h"

// Runs the setup window's modal loop; returns when it is closed.
void RunSetupDialog(WindowContext& ctx);
