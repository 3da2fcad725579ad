// The window thread: StartWindowThread and StopWindowThread for the module, and
// the update request to its setup window.
#pragma once

#include <windows.h>

#include "contest/contest_state.h"
#include "ui/window_state.h"

class Env;

// Starts the window thread with its setup window. Returns once the thread runs
// (not once its window is up), so an unload right after it finds a thread that
// can be stopped. A thread still alive is stopped first. `holdModule`: the thread
// takes a reference to this module and lets it go as it ends, so that the module
// stays loaded for as long as the thread may run its code.
void StartWindowThread(HINSTANCE instance, WindowShared& shared, WindowState& windows, Env& env, bool holdModule);

// Closes the side windows and the setup window and waits until the window thread
// is done with the module's code: as long as the thread shows progress (up to a
// minute), and one slice when it shows none (a few seconds for a thread that holds
// its module, longer for one that does not). Serves the host's COM calls
// meanwhile when called on a COM apartment thread, so a window thread that is
// calling the host cannot block it. Safe under the loader lock: it never waits
// for the thread's exit itself. Returns whether the thread is done.
// `unloading`: called while the module is being unloaded (loader lock held); no
// thread may be started afterwards, until AllowWindowThreadAgain.
bool StopWindowThread(bool unloading = false);

// A module that stays loaded after an unload (the engine, which another shell
// attaches to) may start window threads again.
void AllowWindowThreadAgain();

// True from StartWindowThread until the thread is done.
bool WindowThreadRunning();

// Posts the setup window an update request; false when there is no setup window
// (yet) to take it.
bool PostUpdateWindows();
