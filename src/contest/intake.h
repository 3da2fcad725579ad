// QSO intake (AddData0) and removal (RemoveData0).
#pragma once

#include <cstdint>
#include <string_view>

#include "contest/contest_state.h"
#include "base/date_time.h"
#include "base/files.h"

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

// The intake's judgment of a QSO. The tests run in this order, band, mode,
// numbers, and the first that fails decides; only a QSO that passes them all
// can be a dupe.
enum class IntakeVerdict : std::uint8_t { accepted, wrongBand, wrongMode, noRxNumber, dupe };

// Whether the log keeps the QSO: AddData0 answers 1 for these, 0 for the others.
constexpr bool Stored(IntakeVerdict v) { return v == IntakeVerdict::accepted || v == IntakeVerdict::dupe; }

// Judges the QSO, stores it (accepted or dupe) and writes its bad-QSO line
// (BadQsoLine) for every verdict but accepted.
IntakeVerdict AddData(ContestState& state, Files& files, const QsoArgs& qso);

// Takes the first matching QSO out of the log and its lines out of the bad-QSO
// file. Returns 1.
int RemoveData(ContestState& state, Files& files, const QsoArgs& qso);
