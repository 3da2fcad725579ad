// The window update: what the setup window does with each update request.
#pragma once

#include <atomic>

#include "contest/contest_state.h"
#include "base/host_automation.h"
#include "ui/window_state.h"
#include "base/window_surface.h"

class Env;

// Band index of a frequency in hertz by its whole megahertz (1, 3, 7, 14, 21, 28),
// or -1 when it is on none of the contest's bands.
int BandIndexOfFrequency(double hertz);

// The call check's side of the latch: true when it is to post an update now.
// While an update is posted or running, the request waits for its end instead.
bool AskForUpdate(std::atomic<int>& latch);

// The update's side when it ends: true when a call check asked meanwhile, and one
// more update is to be posted with the latch still closed; else it opens it.
bool FinishUpdate(std::atomic<int>& latch);

// Reopens the wanted side windows, reads the call being entered and the
// frequency from the host, fills the call-history field and the previous-QSO
// rows, sends "<SP1>" when the frequency moved, and retitles and repaints the
// side windows for the band. A host error ends it early. However it ends, it
// finishes the latch: open for the call check, or one more update posted.
//
// Holds shared.lock only around its own reads and writes of the shared data,
// never while it calls the host or touches a window.
void RunUpdate(WindowShared& shared, WindowState& ws, HostAutomation& host, WindowSurface& surface, Env& env);
