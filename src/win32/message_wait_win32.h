// Waits that keep a thread answering the messages other threads send it, so a
// thread that sends to it (a window of ours, the system) cannot block on it.
#pragma once

#include <windows.h>

// Waits for any of the handles, delivering sent messages meanwhile but no posted
// ones. Returns the index of the signalled handle, or -1 on time-out or failure.
int WaitServingSentMessages(const HANDLE* handles, DWORD count, DWORD timeoutMs);
