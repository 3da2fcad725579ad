// A watchdog over the host's FreeLibrary, for the test suites: when an unload
// runs longer than a few seconds, the stacks of every other thread of this
// process are saved into the artifacts (unload-stacks-<exe>-<pid>-<n>.txt), so
// that a stop that gives up on the window thread shows what that thread was doing.
#pragma once

#include <windows.h>

#include <string>

// Marks one FreeLibrary of `module`: construct it just before the call and let
// it go right after. Captures at most a few times a process.
class UnloadWatch {
public:
    explicit UnloadWatch(HMODULE module);
    ~UnloadWatch();
    UnloadWatch(const UnloadWatch&) = delete;
    UnloadWatch& operator=(const UnloadWatch&) = delete;
};

// The file the last capture of this process went to; empty when none was taken.
std::string LastUnloadCapture();
