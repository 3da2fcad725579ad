// GetResult0: the results report, as plain text or HTML.
#pragma once

#include "contest/contest_state.h"
#include "contest/scoring.h"


// The closing line of both report forms.
inline constexpr const char* kCreditLine = "Stats.dll " STATS_VERSION " for VERDA-WW-DX";

// Rebuilds state.resultText (scoring the whole log over state.badQsoCount), the
// per-band lists and state.claimedScore, and returns the text. `sheet`, when
// given, gets the figures the report shows.
const std::string& BuildResults(ContestState& state, ScoreSheet* sheet = nullptr);

// Rates and the last-QSO line, over the counted QSOs of state.workedBands in its
// current order. The rates stay 0 in a Cabrillo pass.
struct RateFigures {
    int hourQsos = 0;
    int hourPoints = 0;
    int tenMinuteQsos = 0;
    int tenMinutePoints = 0;
    int lastQsoPoints = 0;
};
RateFigures ComputeRates(const ContestState& state);
