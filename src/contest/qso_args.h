// A QSO as the host hands it to AddData0 and RemoveData0, and what the intake
// makes of it: the values that the intake, the bad-QSO file and the tools share.
#pragma once

#include <cstdint>
#include <string_view>

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

// The intake's judgment of a QSO. The tests run in this order, band, mode,
// numbers, and the first that fails decides; only a QSO that passes them all
// can be a dupe.
enum class IntakeVerdict : std::uint8_t { accepted, wrongBand, wrongMode, noRxNumber, dupe };

// Whether the log keeps the QSO: AddData0 answers 1 for these, 0 for the others.
constexpr bool Stored(IntakeVerdict v) { return v == IntakeVerdict::accepted || v == IntakeVerdict::dupe; }
