// A station's score by the plug-in's own rule code: its QSOs handed over one by
// one as the host hands them (AddData), then the scoring pass of the results
// report. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "contest/qso_args.h"
#include "contest_logs.h"
#include "logs/callsign.h"
#include "verdicts.h"

class CountryFile;

// Each call's prefix, country and continent, worked out once for all threads.
class CallAnalyses {
public:
    CallAnalyses(const ContestLogs& logs, const CountryFile& cty);
    const CallAnalysis& Of(std::uint32_t call) const { return analyses_[call]; }

private:
    std::vector<CallAnalysis> analyses_;
};

struct StationScore {
    std::vector<std::optional<IntakeVerdict>> verdicts;  // by QSO: the rule code's; none when not handed over
    std::vector<std::int32_t> points;  // by QSO: the points of a counted QSO
    ScoreFigures figures;
};

// `handed` says which QSOs the host hands over (all when empty); QSOs in the
// `contestModes` (as the readers name modes, "RTTY") are handed over as RTTY.
StationScore ScoreStation(const ContestLogs& logs, const StationLog& log, const CallAnalyses& calls,
                          const std::vector<bool>& handed, const std::vector<std::string>& contestModes);
