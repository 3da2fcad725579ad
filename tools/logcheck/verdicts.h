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

// Why the verdict was given; the evidence fields it uses are named.
enum class Why : std::uint8_t {
    matched,             // other: the matching QSO
    noLogThere,          // ok: the worked station sent no log (and is known, or in enough logs)
    theyBustedYou,       // ok: other logged this QSO with your call miscopied; distance
    noQsoThere,          // nil: the other log holds no such QSO
    closeCallLogged,     // busted call: other is the close call's QSO with you; distance
    theyBustedYourCall,  // busted call, lost by both sides: other logged your call miscopied; distance
    nobodyElse,          // unique: a call in no other log
    fewLogs,             // unique: a station without a log in fewer logs than the rules credit; count
    noLogNotCredited,    // unique: the rules credit no station without a log
    fieldsDiffer,        // busted exchange: other sent what you did not copy; wrongFields, shiftedFields
    theyMiscopiedYou,    // busted exchange, lost by both sides: other copied your wrongFields wrong
    noNumber,            // busted exchange: the rule code found no number
    dupeOf,              // dupe: otherQso is the QSO in your own log that counts
    confirmedDupeOf,     // dupe: otherQso counts, as the other log confirms it, and this one is its double
    rule,                // wrong band, wrong mode, outside the period
    outsideSegment,      // wrong band: the frequency lies outside the band's segments
    theirsOutside,       // outside the period in the other log, lost by both sides: other
};

struct QsoCheck {
    Verdict verdict = Verdict::ok;
    Why why = Why::noLogThere;
    bool removed = false;             // taken out of the checked score
    std::uint8_t wrongFields = 0;     // exchange fields (bit i: field i) that the other log disagrees with
    std::uint8_t shiftedFields = 0;   // of those, the numbers the letters/figures shift reads right
    std::int8_t distance = 0;         // characters between the calls
    bool shift = false;               // the calls differ by the letters/figures shift
    std::int16_t otherOffset = 0;     // that log's clock offset, applied
    std::int32_t otherLog = -1;       // the log the evidence quotes
    std::int32_t otherQso = -1;       // its QSO; for fewLogs, the count of logs
    std::int32_t points = 0;          // the QSO's points in the claimed score
    std::int32_t checkedPoints = 0;   // and in the checked score
};

struct ScoreFigures {
    int qsos = 0, points = 0, multipliers = 0, dupes = 0;
    std::int64_t score = 0;
    // By the plug-in's rules, the two kinds that make up `multipliers`.
    int exchangeMults = 0, prefixMults = 0;
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
