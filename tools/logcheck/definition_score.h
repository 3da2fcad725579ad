// A station's points, multipliers and score by a contest definition's own
// rules, for contests other than the plug-in's. Portable.
#pragma once

#include <cstdint>
#include <vector>

#include "contest_definition.h"
#include "contest_logs.h"
#include "station_score.h"
#include "verdicts.h"

// What one QSO brings: whether it counts, its points, and the exchange fields
// (bit i: field i) that were copied wrong and so bring no multiplier.
struct QsoCredit {
    bool counts = false;
    std::int32_t points = 0;
    std::uint8_t wrongFields = 0;
};

// A QSO's full points by the definition: per QSO, by band, or by where the
// worked station is from against the own station.
std::int32_t FullPoints(const ContestDefinition& d, const ContestLogs& logs, const StationLog& log,
                        const CheckQso& q, const CallAnalyses& calls);

// The figures of the counted QSOs: QSOs, points, distinct multipliers in their
// scopes, and the score by the definition's formula.
ScoreFigures DefinitionScore(const ContestDefinition& d, const ContestLogs& logs, const StationLog& log,
                             const CallAnalyses& calls, const std::vector<QsoCredit>& credits);

// The definition's score of the points and multipliers.
std::int64_t DefinitionScoreOf(const ContestDefinition& d, std::int64_t points, int multipliers);
