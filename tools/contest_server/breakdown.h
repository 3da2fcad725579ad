// What a post's breakdown says, and whether it adds up. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "post_reader.h"

// The figures the scoreboard shows; empty when the breakdown does not give them.
// QSOs and points are the totals (band "total", mode "ALL" first, else the total's
// modes), else the bands' sum; multipliers are the totals of every type.
struct PostFigures {
    std::optional<std::int64_t> qsos, points, mults;
};
PostFigures FiguresOf(const ScorePost& post);

// One line saying how the breakdown fails to add up, or empty when it does: QSOs
// or points by band against their total, one entry given twice, or, with
// `pointsTimesMults`, a score other than total points times total multipliers.
std::string BreakdownFault(const ScorePost& post, bool pointsTimesMults);

// One band's value of a kind (and, for multipliers, of `type`): its "ALL" entry
// when there is one, else the sum over its modes; empty when the band has none.
std::optional<std::int64_t> BreakdownValue(const ScorePost& post, BreakdownKind kind, const std::string& band,
                                           const std::string* type);
// Every band the breakdown names, the longest wavelength first, "total" last.
std::vector<std::string> BreakdownBands(const ScorePost& post);
// The multiplier types, in order of first appearance.
std::vector<std::string> MultTypes(const ScorePost& post);
