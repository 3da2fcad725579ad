// ResetStats0: starts a new pass over the host's log.
#pragma once

#include <string_view>

#include "contest/contest_state.h"
#include "base/date_time.h"

class Env;

// The ResetStats0 arguments the module reads. Views are valid for the call only.
struct ResetArgs {
    std::string_view hostFolder;
    int makeCabrillo = 0;
    std::string_view myCall;
    DateTime start;
    DateTime end;
    std::string_view myCountry;
    std::string_view myContinent;
};

// Where the call history of the companion plug-in lives, relative to the host's
// working directory; '/' works on Windows and on the test platforms alike.
inline constexpr const char* kCallHistoryFile = "Plugins/KOVAR.hlp";
// The host's own settings file, read for its version line.
inline constexpr const char* kHostSettingsFile = "Tevo2.ini";

// The new pass's state: records the own station and dates, reads the host's
// version, empties the log, loads the call history, resets the previous-QSO rows
// and names the pass's bad-QSO file. Creating that file, the Cabrillo header and
// the windows' start are the module's steps that follow.
void ResetLog(ContestState& state, Env& env, const ResetArgs& args);

// A "Start" setting read the way the C library's atoi reads it: true when nonzero.
bool IsNonzeroNumber(std::string_view text);

// False for the host versions whose automation the windows cannot work with.
bool WindowsAllowedFor(std::string_view hostVersion);
