// GetResult0: the results report, as plain text or HTML.
#pragma once

#include "log/contest_state.h"

class Env;

// Rebuilds state.resultText (scoring the whole log) and returns it.
const std::string& BuildResults(ContestState& state, Env& env);
