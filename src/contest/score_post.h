// The claimed score as a live score post: the public <dynamicresults> XML that
// contest loggers send to online scoreboards (the format as mbridak/not1mm and
// TR4W write it). Pure: it builds text, and sends nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/cabrillo_export.h"
#include "base/date_time.h"
#include "contest/scoring.h"

// One contest band of the claimed score; band is the post's name for it, "160" to "10".
struct ClaimedBand {
    std::string band;
    int qsos = 0;
    int points = 0;
    int exchangeMults = 0;
    int prefixMults = 0;
};

// What a post says of the score: a plain copy of a results pass's figures, so that
// it can be handed to another thread while the log goes on changing.
struct ClaimedFigures {
    std::vector<ClaimedBand> bands;  // from 160 down to 10, bands without a QSO left out
    int qsos = 0;
    int points = 0;
    int exchangeMults = 0;
    int prefixMults = 0;
    std::int64_t score = 0;
};

// The sheet's figures per contest band. A band text in another letter case (which
// the intake lets through) is added to its band, so the bands add up to the
// totals, which are the sheet's own: the report's, dupes and removed QSOs not in them.
ClaimedFigures ClaimedScoreOf(const ScoreSheet& sheet);

// The mult types of a post: "exchange" for the report's "Mult" column, "prefix" for its "Prefix".
inline constexpr const char* kExchangeMultType = "exchange";
inline constexpr const char* kPrefixMultType = "prefix";

// The whole post: call, the categories of the header (an empty one as the header
// dialog offers it), the operators and club when given, the score and the
// breakdown by band, and `utc` as the timestamp ("yyyy-mm-dd hh:mm:ss"; fields
// out of range are clamped into it). Texts are taken as UTF-8; a byte that is not
// part of valid UTF-8, and a control character, become '?', so the document is
// always well-formed. Never throws but for lack of memory.
std::string ScorePostXml(const ClaimedFigures& score, const CabrilloHeaderFields& header, std::string_view call,
                         const CalendarTime& utc);
