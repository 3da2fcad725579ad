// LookupCallHistory: the exchange the companion plug-in's call history knows for a call.
#pragma once

#include <string>
#include <string_view>

#include "contest/contest_state.h"

// The last four characters of the first line whose text before its first blank is
// exactly `call`. A line without a blank, or one that starts with one, ends the
// search with nothing, as does reaching the end.
std::string LookupCallHistory(const TextList& callHistory, std::string_view call);
