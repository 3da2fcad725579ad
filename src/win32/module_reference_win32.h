// References to this module for threads of its own that may outlive an unload:
// such a thread holds one while it may still run the module's code, and lets it
// go with FreeLibraryAndExitThread, the one way a thread may drop the last
// reference to the module whose code it runs.
#pragma once

#include <windows.h>

// Looks up the loader functions TakeModuleReference needs. Call it where the
// loader lock may be taken (in an export, not from the window thread).
void PrepareModuleReference();

// A new reference to this module, or null when `stop` was set or none could be
// taken within `timeoutMs`. It never blocks on the loader lock: an unload that
// holds the lock may be waiting for the calling thread to finish.
HMODULE TakeModuleReference(HANDLE stop, DWORD timeoutMs);
