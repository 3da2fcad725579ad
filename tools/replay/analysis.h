// Where the score came from: operating time and breaks, rates, the score's
// progress and the bands, all from the ledger. Portable.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ledger.h"

// Minutes count in 64 bits: a log's dates may lie thousands of years apart.
struct Break {
    DateTime from, to;  // the QSOs either side
    std::int64_t minutes = 0;
};

struct OperatingTime {
    DateTime first, last;
    std::vector<Break> breaks;
    std::int64_t breakMinutes = 0;
    std::int64_t operatingMinutes = 0;  // first to last QSO, less the breaks
};

// One clock hour: counted QSOs and points by band, and where the score stood at
// its end.
struct HourFigures {
    DateTime hour;  // its start
    std::map<std::string, int> qsos, points;
    std::int64_t score = 0;
    int exchangeMults = 0, prefixMults = 0;
};

struct BestRate {
    int qsos = 0;
    DateTime from, to;  // first and last QSO of the best stretch
};

struct BandActivity {
    std::string band;
    std::int64_t minutes = 0;  // on the band between QSOs, breaks left out
    std::array<int, 4> qsos{}, points{};  // by point class, in PointClass order
};

struct Analysis {
    OperatingTime time;
    std::vector<std::string> bands;  // the bands with counted QSOs, in the report's order
    std::vector<HourFigures> hours;
    BestRate best10, best60;
    std::vector<BandActivity> bandActivity;  // in the order of `bands`
    int bandChanges = 0;
};

// Operating time and band time count every QSO the plug-in stored, dupes too;
// rates, points and classes only the counted ones. `bandOrder` is the report's.
Analysis Analyse(const Ledger& ledger, const std::vector<std::string>& bandOrder, int breakMinutes);

// The most counted QSOs within any stretch of the given minutes.
BestRate BestStretch(std::vector<DateTime> times, int minutes);
