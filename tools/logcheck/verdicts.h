// What the checker found for every QSO and every log, with the evidence of each
// verdict as data: the reports, the CSV and the page are views of it. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class Verdict : std::uint8_t {
    ok,
    nil,
    bustedCall,
    bustedExchange,
    unique,
    dupe,
    outsidePeriod,
    wrongBand,
    wrongMode,
};
inline constexpr int kVerdictCount = 9;

// The name in verdicts.csv: "ok", "nil", "busted-call", ...
const char* VerdictName(Verdict v);

// The verdicts that take a QSO out of the checked score; a unique call only when
// the sponsor asks for it. The others are flagged and kept as the plug-in judges them.
inline bool RemovedFromCheckedScore(Verdict v, bool removeUniques) {
    return v == Verdict::nil || v == Verdict::bustedCall || v == Verdict::bustedExchange ||
           (v == Verdict::unique && removeUniques);
}

// Why the verdict was given; the evidence fields it uses are named.
enum class Why : std::uint8_t {
    matched,          // other: the matching QSO
    noLogThere,       // ok: the worked station sent no log (and is known, or not unique)
    theyBustedYou,    // ok: other logged this QSO with your call miscopied; distance
    noQsoThere,       // nil: the other log holds no such QSO
    closeCallLogged,  // busted call: other is the close call's QSO with you; distance
    nobodyElse,       // unique
    numberDiffers,    // busted exchange: other sent what you did not copy; shift when it reads through
    noNumber,         // busted exchange: the rule code found no number
    dupeOf,           // dupe: otherQso is the first QSO in your own log
    rule,             // wrong band, wrong mode, outside the period
};

struct QsoCheck {
    Verdict verdict = Verdict::ok;
    Why why = Why::noLogThere;
    std::int32_t otherLog = -1;  // the log the evidence quotes
    std::int32_t otherQso = -1;  // its QSO
    std::int16_t otherOffset = 0;  // that log's clock offset, applied
    std::int8_t distance = 0;      // characters between the calls
    bool shift = false;            // letters/figures shift
    std::int32_t points = 0;       // the QSO's points in the claimed score; 0 when not counted
};

struct ScoreFigures {
    int qsos = 0, points = 0, exchangeMults = 0, prefixMults = 0, dupes = 0;
    std::int64_t score = 0;
};

struct LogCheck {
    std::int32_t offset = 0;  // clock offset found, in minutes: the log's time less the true time
    int sureMatches = 0;      // QSOs the offset was estimated from
    std::vector<QsoCheck> qsos;  // in the log's order
    ScoreFigures claimed, checked;
    int penaltyPoints = 0;
    int counts[kVerdictCount] = {};
    // Removed or flagged QSOs against those the other logs could check, in percent.
    double errorRate = 0;
};
