// The contest's scoring rule: QSO points, the two kinds of per-band multiplier and
// the claimed score, computed afresh from the whole log.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/cinfo.h"
#include "log/contest_state.h"

struct OwnStation {
    std::string_view country;
    std::string_view continent;
};

// What one band of the worked-band list yields.
struct BandFigures {
    std::string band;
    int qsos = 0;
    int points = 0;
    int exchangeMults = 0;  // "Mult": distinct received exchanges
    int prefixMults = 0;    // "Prefix": distinct Nordic-Baltic prefixes
    int dupes = 0;
    TextList exchanges;  // the multipliers in order of first appearance
    TextList prefixes;
};

struct ScoreSheet {
    std::vector<BandFigures> bands;  // in the order of the band list
    int qsos = 0;
    int points = 0;
    int exchangeMults = 0;
    int prefixMults = 0;
    int dupes = 0;
    std::int64_t score = 0;  // points x (exchange + prefix multipliers), never wraps
};

// A record belongs to a band by exact band text and a non-empty call.
bool BelongsToBand(const CInfo& record, std::string_view band);

// Points of a counted QSO toward its band's total. Bands other than the six exact
// names score 0.
int QsoPoints(std::string_view band, const CInfo& record, const OwnStation& own);

// Points of one QSO as the rates and the last-QSO line show it: on 160, 80 and
// 40 m the own-country class does not apply, only the continent decides.
int SingleQsoPoints(std::string_view band, const CInfo& record, const OwnStation& own);

ScoreSheet ScoreLog(const std::vector<CInfo>& log, const TextList& bands, const OwnStation& own);

// Replaces the side windows' lists of every band of the sheet that has a band index;
// other bands' lists keep what they held.
void StoreBandMultipliers(const ScoreSheet& sheet, PerBandLists& multExchByBand, PerBandLists& nordicByBand);

// The report's band order: descending by the texts left-padded with '0' to 20
// characters, so the contest bands come from 160m down to 10m.
void SortBands(TextList& bands);
