// The operator windows' state: what the window thread keeps between updates and
// the latch through which the call check asks for one.
#pragma once

#include <atomic>
#include <string>

#include "base/window_surface.h"
#include "contest/contest_state.h"

// Every field but the latch belongs to the window thread.
struct WindowState {
    // 1 = the call check may post an update; it drops it to 0 when it posts and the
    // update raises it again when it ends, however it ends. A call check that
    // comes while an update runs raises it to 2 instead, and the update then
    // posts one more rather than lose that call. Shared by both threads
    // (AskForUpdate, FinishUpdate).
    std::atomic<int> updateLatch{1};  // `g_updateLatch`

    int windowsOnTop = 0;    // `g_windowsOnTop`: side windows open top-most
    int showMultiplier = 0;  // the operator wants the multiplier window
    int showPrefix = 0;      // the operator wants the worked-prefix window

    std::string currentCall;  // `g_currentCall`: the call being entered, in the host's code page
    int bandIndex = -1;       // `g_bandIndex`: band of the last update that recognised one
    double lastFrequency = 0.0;  // `g_lastFrequency`: where "<SP1>" was last sent, Hz

    // One remembered position for all three windows, as stored (96-DPI pixels): a
    // coordinate is written only when it differs from the last one any of them stored.
    int lastLeft = 0;  // `g_lastLeft`
    int lastTop = 0;   // `g_lastTop`

    TextList bandNames;  // `g_bandNames`: "160m" ... "10m", rebuilt when the setup window starts
};
