// What the window thread's windows tell the thread that controls them: the setup
// window's handle, which is non-null exactly while that window exists, and a
// count of the messages they have handled, by which a stop tells a slow thread
// from a stuck one. Safe from any thread.
#pragma once

#include <windows.h>

// Called by the windows at every message.
void NoteWindowProgress();
unsigned WindowProgress();

// For the setup window as it starts: records its handle, or returns false when a
// stop is already under way (`stopping` set) and the window must end at once.
bool PublishSetupWindow(HWND window, HANDLE stopping);
void ClearSetupWindow();
// The setup window, or null while there is none.
HWND SetupWindow();
