#include "rules/scoring.h"

#include <algorithm>
#include <functional>
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

// A set of texts rebuilt on every results call: open addressing over a
// power-of-two table, so no allocation per entry and no division per probe.
class TextSet {
public:
    // True when the text was not in the set yet.
    bool Insert(std::string_view text) {
        if ((count_ + 1) * 2 > slots_.size()) Grow();
        const std::size_t hash = std::hash<std::string_view>{}(text);
        for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
            Slot& slot = slots_[i];
            if (!slot.used) {
                slot = Slot{hash, std::string(text), true};
                ++count_;
                return true;
            }
            if (slot.hash == hash && slot.text == text) return false;
        }
    }

private:
    struct Slot {
        std::size_t hash = 0;
        std::string text;
        bool used = false;
    };

    void Grow() {
        std::vector<Slot> old;
        old.swap(slots_);
        slots_.resize(old.empty() ? 64 : old.size() * 2);
        mask_ = slots_.size() - 1;
        for (auto& slot : old) {
            if (!slot.used) continue;
            std::size_t i = slot.hash & mask_;
            while (slots_[i].used) i = (i + 1) & mask_;
            slots_[i] = std::move(slot);
        }
    }

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    std::size_t count_ = 0;
};

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

ScoreSheet ScoreLog(const std::vector<CInfo>& log, const TextList& bands, const OwnStation& own,
                    const CountedQsoVisitor& visit) {
    ScoreSheet sheet;
    sheet.bands.resize(bands.size());
    // A band listed twice is scored once and copied.
    BandLookup lookup(bands);
    for (std::size_t i = 0; i < bands.size(); ++i) sheet.bands[i].band = bands[i];
    // Membership beside each ordered list. Copies, not views into the log: a
    // comparison then stays inside the set instead of reaching into an old record.
    struct Seen {
        TextSet exchanges, prefixes;
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
        if (visit) visit(r, bandIndex[at], lookup.TimesListed(at));
        ++f.qsos;
        f.points += PointsOnBand(bandIndex[at], r, own, false);
        if (s.exchanges.Insert(r.multExch)) {
            f.exchanges.push_back(r.multExch);
            ++f.exchangeMults;
        }
        if (!r.nordicPrefix.empty() && s.prefixes.Insert(r.nordicPrefix)) {
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

void StoreBandMultipliers(ScoreSheet&& sheet, PerBandLists& multExchByBand, PerBandLists& nordicByBand) {
    for (auto& f : sheet.bands) {
        const int index = g_bands.IndexOf(f.band);
        if (index < 0) continue;
        multExchByBand[index] = std::move(f.exchanges);
        nordicByBand[index] = std::move(f.prefixes);
    }
}

void SortBands(TextList& bands) {
    // An exchange sort, not std::sort: texts that pad to the same key keep the
    // order this pass has always given them.
    for (std::size_t i = 0; i + 1 < bands.size(); ++i)
        for (std::size_t j = i + 1; j < bands.size(); ++j)
            if (PaddedForSort(bands[i]) < PaddedForSort(bands[j])) std::swap(bands[i], bands[j]);
}
