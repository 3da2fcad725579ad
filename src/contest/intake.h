// QSO intake (AddData0) and removal (RemoveData0).
#pragma once

#include <string_view>

#include "contest/contest_state.h"
#include "base/date_time.h"

// The AddData0/RemoveData0 arguments the module reads. Views are valid for the call only.
struct QsoArgs {
    std::string_view myCall;
    std::string_view call;
    DateTime time;
    unsigned freqHz = 0;
    std::string_view mode;
    std::string_view rstSent;
    std::string_view rstRcvd;
    std::string_view exchSent;
    std::string_view exchRcvd;
    std::string_view prefix;
    std::string_view country;
    std::string_view continent;
    std::string_view band;
};

// Judges the QSO, stores it (valid or dupe) and writes a bad-QSO line for a
// rejected or dupe QSO. Returns 1 when stored, 0 when rejected.
int AddData(ContestState& state, const QsoArgs& qso);

// Takes the first matching QSO out of the log and its lines out of the bad-QSO
// file. Returns 1.
int RemoveData(ContestState& state, const QsoArgs& qso);
