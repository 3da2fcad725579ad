// ResetStats0: starts a new pass over the host's log.
#pragma once

#include <string_view>

#include "log/contest_state.h"
#include "log/date_time.h"

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

// Returns 1.
int ResetStats(ContestState& state, Env& env, const ResetArgs& args);
