#include "contest/scoring.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>

#include "contest/contest_rules.h"
#include "contest/text_keys.h"
#include "contest/countries.h"

namespace {

int PointsOf(const BandFacts& band, PointClass c) {
    switch (c) {
        case PointClass::nordicBaltic: return band.nordicBaltic;
        case PointClass::ownCountry: return band.ownCountry;
        case PointClass::ownContinent: return band.ownContinent;
        case PointClass::otherContinent: return band.otherContinent;
    }
    return 0;
}

std::string PaddedForSort(const std::string& band) {
    constexpr std::size_t kWidth = 20;
    if (band.size() >= kWidth) return band;
    return std::string(kWidth - band.size(), '0') + band;
}

}  // namespace

int PointsOnBand(int bandIndex, const CInfo& record, const OwnStation& own, bool single) {
    if (bandIndex < 0 || bandIndex >= kBandCount) return 0;
    PointClass c = ClassifyQso(record, own.country, own.continent);
    const BandFacts& band = kBandFacts[bandIndex];
    if (single && band.low && c == PointClass::ownCountry)
        c = record.continent == own.continent ? PointClass::ownContinent : PointClass::otherContinent;
    return PointsOf(band, c);
}

int QsoPoints(std::string_view band, const CInfo& record, const OwnStation& own) {
    return PointsOnBand(g_bands.IndexOf(band), record, own, false);
}

int SingleQsoPoints(std::string_view band, const CInfo& record, const OwnStation& own) {
    return PointsOnBand(g_bands.IndexOf(band), record, own, true);
}

namespace {

// Membership of an ordered list of texts, rebuilt on every results call. A text
// that comes with a key from the exchange keys is looked up as a flag per key: a
// few kilobytes a band, which stay in cache while the walk streams the log past.
// The first text without a key (the prefixes, and records that did not come
// through intake) moves the list to keys of its own for good, since the same
// text may come with a key and without.
class ListMembership {
public:
    explicit ListMembership(TextList& list) : list_(list) {}

    // Appends the text unless the list holds it; true when appended.
    bool AddIfNew(std::uint32_t key, std::string_view text) {
        if (key != TextKeys::none && !byText_) {
            if (key >= seenKeys_.size()) seenKeys_.resize(std::max<std::size_t>(key + 1, 2 * seenKeys_.size()));
            if (seenKeys_[key]) return false;
            seenKeys_[key] = 1;
            list_.emplace_back(text);
            return true;
        }
        if (!byText_) {
            for (const auto& listed : list_) ownKeys_.KeyOf(listed);
            byText_ = true;
        }
        const std::size_t known = ownKeys_.size();
        ownKeys_.KeyOf(text);
        if (ownKeys_.size() == known) return false;
        list_.emplace_back(text);
        return true;
    }

private:
    TextList& list_;
    std::vector<std::uint8_t> seenKeys_;
    bool byText_ = false;
    TextKeys ownKeys_;
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
    // Membership beside each ordered list; a comparison reads the list, not an
    // old record of the log.
    struct Seen {
        ListMembership exchanges, prefixes;
    };
    std::vector<Seen> seen;
    seen.reserve(bands.size());
    for (auto& f : sheet.bands) seen.push_back(Seen{ListMembership(f.exchanges), ListMembership(f.prefixes)});
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
        if (s.exchanges.AddIfNew(r.multExchKey, r.multExch)) ++f.exchangeMults;
        if (!r.nordicPrefix.empty() && s.prefixes.AddIfNew(TextKeys::none, r.nordicPrefix)) ++f.prefixMults;
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
    sheet.score = ClaimedScore(sheet.points, sheet.exchangeMults, sheet.prefixMults);
    return sheet;
}

std::int64_t ClaimedScore(int points, int exchangeMults, int prefixMults) {
    return static_cast<std::int64_t>(points) * (static_cast<std::int64_t>(exchangeMults) + prefixMults);
}

void StoreBandMultipliers(ScoreSheet& sheet, PerBandLists& multExchByBand, PerBandLists& nordicByBand) {
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
