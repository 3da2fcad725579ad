#include "rules/scoring.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "log/contest_rules.h"
#include "rules/countries.h"

namespace {

struct PointRow {
    int nordicBaltic, ownCountry, ownContinent, otherContinent;
};

// By band index: 160m, 80m, 40m, 20m, 15m, 10m.
constexpr PointRow kPointTable[kBandCount] = {
    {8, 5, 5, 15}, {8, 5, 5, 15}, {8, 6, 6, 10}, {5, 1, 2, 3}, {5, 1, 2, 3}, {5, 1, 2, 3},
};

constexpr int kLastLowBand = 2;  // 40m

int PointsOf(const PointRow& row, PointClass c) {
    switch (c) {
        case PointClass::nordicBaltic: return row.nordicBaltic;
        case PointClass::ownCountry: return row.ownCountry;
        case PointClass::ownContinent: return row.ownContinent;
        case PointClass::otherContinent: return row.otherContinent;
    }
    return 0;
}

std::string PaddedForSort(const std::string& band) {
    constexpr std::size_t kWidth = 20;
    if (band.size() >= kWidth) return band;
    return std::string(kWidth - band.size(), '0') + band;
}

}  // namespace

bool BelongsToBand(const CInfo& record, std::string_view band) {
    return record.band == band && !record.call.empty();
}

int PointsOnBand(int bandIndex, const CInfo& record, const OwnStation& own, bool single) {
    if (bandIndex < 0 || bandIndex >= kBandCount) return 0;
    PointClass c = ClassifyQso(record, own.country, own.continent);
    if (single && bandIndex <= kLastLowBand && c == PointClass::ownCountry)
        c = record.continent == own.continent ? PointClass::ownContinent : PointClass::otherContinent;
    return PointsOf(kPointTable[bandIndex], c);
}

int QsoPoints(std::string_view band, const CInfo& record, const OwnStation& own) {
    return PointsOnBand(g_bands.IndexOf(band), record, own, false);
}

int SingleQsoPoints(std::string_view band, const CInfo& record, const OwnStation& own) {
    return PointsOnBand(g_bands.IndexOf(band), record, own, true);
}

namespace {

// Short texts: an inline loop rather than a library call per comparison.
bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

}  // namespace

BandLookup::BandLookup(const TextList& bands) : bands_(bands), times_(bands.size(), 0) {
    for (const auto& band : bands) {
        const std::size_t first = FirstOf(band);
        ++times_[first];
    }
    last_ = npos;
}

std::size_t BandLookup::FirstOf(std::string_view band) {
    if (last_ != npos && SameText(bands_[last_], band)) return last_;
    for (std::size_t i = 0; i < bands_.size(); ++i) {
        if (SameText(bands_[i], band)) return last_ = i;
    }
    return npos;
}

ScoreSheet ScoreLog(const std::vector<CInfo>& log, const TextList& bands, const OwnStation& own) {
    ScoreSheet sheet;
    sheet.bands.resize(bands.size());
    // A band listed twice is scored once and copied.
    BandLookup lookup(bands);
    for (std::size_t i = 0; i < bands.size(); ++i) sheet.bands[i].band = bands[i];
    // Membership beside each ordered list. Copies, not views into the log: a
    // comparison then stays inside the set instead of reaching into an old record.
    struct Seen {
        std::unordered_set<std::string> exchanges, prefixes;
    };
    std::vector<Seen> seen(bands.size());
    std::vector<int> bandIndex(bands.size());
    for (std::size_t i = 0; i < bands.size(); ++i) bandIndex[i] = g_bands.IndexOf(bands[i]);

    // One walk: a band's records keep their log order, so its lists come out in
    // order of first appearance as before.
    for (const auto& r : log) {
        if (r.call.empty()) continue;
        const std::size_t at = lookup.FirstOf(r.band);
        if (at == BandLookup::npos) continue;
        BandFigures& f = sheet.bands[at];
        Seen& s = seen[at];
        f.dupes += r.dupe;
        if (r.notCounted != 0) continue;
        ++f.qsos;
        f.points += PointsOnBand(bandIndex[at], r, own, false);
        if (s.exchanges.insert(r.multExch).second) {
            f.exchanges.push_back(r.multExch);
            ++f.exchangeMults;
        }
        if (!r.nordicPrefix.empty() && s.prefixes.insert(r.nordicPrefix).second) {
            f.prefixes.push_back(r.nordicPrefix);
            ++f.prefixMults;
        }
    }
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const std::size_t first = lookup.FirstOf(bands[i]);
        if (first != i) sheet.bands[i] = sheet.bands[first];
        const BandFigures& f = sheet.bands[i];
        sheet.qsos += f.qsos;
        sheet.points += f.points;
        sheet.exchangeMults += f.exchangeMults;
        sheet.prefixMults += f.prefixMults;
        sheet.dupes += f.dupes;
    }
    sheet.score = static_cast<std::int64_t>(sheet.points) *
                  (static_cast<std::int64_t>(sheet.exchangeMults) + sheet.prefixMults);
    return sheet;
}

void StoreBandMultipliers(const ScoreSheet& sheet, PerBandLists& multExchByBand, PerBandLists& nordicByBand) {
    for (const auto& f : sheet.bands) {
        const int index = g_bands.IndexOf(f.band);
        if (index < 0) continue;
        multExchByBand[index] = f.exchanges;
        nordicByBand[index] = f.prefixes;
    }
}

void SortBands(TextList& bands) {
    // An exchange sort, not std::sort: texts that pad to the same key keep the
    // order this pass has always given them.
    for (std::size_t i = 0; i + 1 < bands.size(); ++i)
        for (std::size_t j = i + 1; j < bands.size(); ++j)
            if (PaddedForSort(bands[i]) < PaddedForSort(bands[j])) std::swap(bands[i], bands[j]);
}
