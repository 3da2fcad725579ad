// A contest's rules as data: what the sponsor's published rules say, read from
// a small TOML file (contests/*.toml, each key explained in contests/README.md)
// or made from logcheck's options. The checker reads the rules only from here.
// Portable.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// As many exchange fields a side as the checker holds.
inline constexpr std::size_t kMaxExchangeFields = 6;

enum class FieldKind : std::uint8_t {
    rst,     // a report: compared as text
    number,  // compared as a number (leading zeros do not count), read through the letters/figures shift too
    text,    // a county, zone, name, state...: compared as text
};

struct ExchangeField {
    std::string name;
    FieldKind kind = FieldKind::text;
    bool checked = true;  // against what the other station logged as sent
};

// Minutes since 30 December 1899, both ends inside.
struct Period {
    std::int32_t first = std::numeric_limits<std::int32_t>::min();
    std::int32_t last = std::numeric_limits<std::int32_t>::max();
    std::vector<std::string> modes;  // empty: every mode
};

struct Segment {
    std::string band;
    std::uint64_t fromKHz = 0, toKHz = 0;  // both inside
    std::vector<std::string> modes;        // empty: every mode
};

enum class DupeScope : std::uint8_t { band, bandMode, none };
// Who loses a QSO that one side got wrong: that side, or both.
enum class Loser : std::uint8_t { oneSide, bothSides };
enum class MultiplierKind : std::uint8_t { field, country, prefix };
enum class MultiplierScope : std::uint8_t { band, bandMode, mode, contest };
enum class PointsBy : std::uint8_t { qso, band, region };
enum class ScoreFormula : std::uint8_t { pointsTimesMultipliers, sumOfPoints };

struct Multiplier {
    MultiplierKind kind = MultiplierKind::field;
    std::size_t field = 0;  // for MultiplierKind::field: its index in the exchange
    MultiplierScope per = MultiplierScope::band;
    std::vector<std::string> values;  // for MultiplierKind::field: the values that count; empty: any
};

struct ContestDefinition {
    std::string name = "VERDA-WW-DX";
    // Judged and scored by the plug-in's own rule code: its bands, its dupes,
    // its points, multipliers and score. The other scoring keys are not given then.
    bool pluginRules = true;
    std::vector<std::string> bands;          // the readers' names ("80m"); empty with the plug-in's rules
    std::vector<std::string> modes{"RTTY"};  // the readers' names: CW, SSB, RTTY, DIGI, FM
    std::vector<Period> periods;             // none: no period is checked
    bool periodOnLoggedClock = false;        // the period is judged on each log's clock as logged, not corrected
    // Two lines whose numbers agree both ways are one QSO even where the logs
    // disagree on the band (a log without a rig connected keeps the band typed last).
    bool bandsMayDiffer = false;
    std::vector<Segment> segments;           // none: the whole band
    // A side's fields in the order of a Cabrillo line. Empty: found from each
    // line, the report and the number, the number alone checked.
    std::vector<ExchangeField> exchange;

    DupeScope dupes = DupeScope::band;
    int repeatAfter = 0;  // minutes after the last credited QSO that a repeat counts again; 0: never

    Loser bustedCall = Loser::oneSide;
    Loser bustedExchange = Loser::oneSide;
    Loser outsidePeriod = Loser::oneSide;
    int penalty = 0;  // NIL and busted calls cost this many times their points besides

    // A station that sent no log counts when its call is in this many logs; 1
    // counts every one (a call in one log only is flagged as unique); 0 none.
    int noLogCreditedFrom = 1;
    int noLogPoints = -1;  // such a QSO's points; -1: the full points

    PointsBy pointsBy = PointsBy::qso;
    int qsoPoints = 1;
    std::vector<std::pair<std::string, int>> bandPoints;
    int sameCountryPoints = 0, sameContinentPoints = 0, otherPoints = 0;
    int oneFieldWrongPoints = -1;  // a QSO with one wrong received field scores this; -1: removed

    std::vector<Multiplier> multipliers;
    ScoreFormula score = ScoreFormula::pointsTimesMultipliers;

    // The exchange as the checker compares it: the declared one, else a report
    // and a number with the number alone checked.
    std::vector<ExchangeField> Fields() const;
    // Whether the QSO's minute lies in a period for its mode (always, without periods).
    bool InPeriod(std::int32_t minute, std::string_view mode) const;
    bool HasMode(std::string_view mode) const;
    bool HasBand(std::string_view band) const;
    // False when the band has segments for the mode and none holds the frequency.
    bool InSegment(std::string_view band, std::string_view mode, std::uint64_t kHz) const;
    int PointsOnBand(std::string_view band) const;
};

// Reads a definition; throws InputError "FILE: line N: KEY: what is wrong" for
// anything it does not take, unknown keys included.
ContestDefinition ReadContestDefinition(std::string_view text, const std::string& file);

// A mode as the readers name it ("SSB") from a Cabrillo or ADIF name ("PH",
// "ssb"); empty when it is none.
std::string ReaderMode(std::string_view name);
