// The contest's scoring rule: QSO points, the two kinds of per-band multiplier and
// the claimed score, computed afresh from the whole log.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/cinfo.h"
#include "contest/contest_state.h"

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
    std::int64_t score = 0;  // ClaimedScore of the totals
};

// The score: points x (exchange + prefix multipliers), in 64 bits so that it never wraps.
std::int64_t ClaimedScore(int points, int exchangeMults, int prefixMults);

// Points of a counted QSO toward its band's total. Bands other than the six exact
// names score 0.
int QsoPoints(std::string_view band, const CInfo& record, const OwnStation& own);

// Points of one QSO as the rates and the last-QSO line show it: on 160, 80 and
// 40 m the own-country class does not apply, only the continent decides.
int SingleQsoPoints(std::string_view band, const CInfo& record, const OwnStation& own);

// The worked bands by exact text, for one walk of the log. A handful of short
// texts: a plain search that tries the last hit first beats hashing every band.
class BandLookup {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    explicit BandLookup(const TextList& bands);
    // Where the text is first listed, or npos.
    std::size_t FirstOf(std::string_view band);
    // How often the text first listed there is listed.
    int TimesListed(std::size_t first) const { return times_[first]; }

private:
    const TextList& bands_;
    std::vector<int> times_;
    std::size_t last_ = npos;
};

// Either of the two above by the band's index in the band list (-1: none).
int PointsOnBand(int bandIndex, const CInfo& record, const OwnStation& own, bool single);

// Sees every counted record of a listed band once, in log order, during the
// scoring's walk: the record, its band's index in the band list (-1: none) and
// how often its band is listed.
using CountedQsoVisitor = std::function<void(const CInfo& record, int bandIndex, int timesListed)>;

ScoreSheet ScoreLog(const std::vector<CInfo>& log, const TextList& bands, const OwnStation& own,
                    const CountedQsoVisitor& visit = {});

// Replaces the side windows' lists of every band of the sheet that has a band index;
// other bands' lists keep what they held. The sheet's lists are handed over, not
// copied: its figures stay, its lists are left empty.
void StoreBandMultipliers(ScoreSheet& sheet, PerBandLists& multExchByBand, PerBandLists& nordicByBand);

// The report's band order: descending by the texts left-padded with '0' to 20
// characters, so the contest bands come from 160m down to 10m.
void SortBands(TextList& bands);
