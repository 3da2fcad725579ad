#include "breakdown.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <set>
#include <tuple>

namespace {

// Values are a client's: sums stop at the largest count rather than wrap.
std::int64_t Plus(std::int64_t a, std::int64_t b) {
    std::int64_t sum;
    return __builtin_add_overflow(a, b, &sum) ? INT64_MAX : sum;
}

const char* KindName(BreakdownKind kind) {
    switch (kind) {
        case BreakdownKind::qso: return "qso";
        case BreakdownKind::point: return "point";
        case BreakdownKind::mult: return "mult";
    }
    return "";
}

}  // namespace

std::optional<std::int64_t> BreakdownValue(const ScorePost& post, BreakdownKind kind, const std::string& band,
                                           const std::string* type) {
    std::optional<std::int64_t> all, modes;
    for (const BreakdownEntry& e : post.breakdown) {
        if (e.kind != kind || e.band != band || (type && e.type != *type)) continue;
        if (e.mode == "ALL") {
            if (!all) all = e.value;
        } else {
            modes = Plus(modes.value_or(0), e.value);
        }
    }
    return all ? all : modes;
}

namespace {

std::set<std::string> Bands(const ScorePost& post, BreakdownKind kind) {
    std::set<std::string> bands;
    for (const BreakdownEntry& e : post.breakdown)
        if (e.kind == kind && e.band != "total") bands.insert(e.band);
    return bands;
}

// The total of QSOs or points: the "total" band's, else the bands' sum.
std::optional<std::int64_t> Total(const ScorePost& post, BreakdownKind kind) {
    if (auto total = BreakdownValue(post, kind, "total", nullptr)) return total;
    std::optional<std::int64_t> sum;
    for (const std::string& band : Bands(post, kind))
        sum = Plus(sum.value_or(0), BreakdownValue(post, kind, band, nullptr).value_or(0));
    return sum;
}

}  // namespace

PostFigures FiguresOf(const ScorePost& post) {
    PostFigures f;
    f.qsos = Total(post, BreakdownKind::qso);
    f.points = Total(post, BreakdownKind::point);
    std::set<std::string> types;
    for (const BreakdownEntry& e : post.breakdown)
        if (e.kind == BreakdownKind::mult && e.band == "total") types.insert(e.type);
    for (const std::string& type : types)
        f.mults = Plus(f.mults.value_or(0), BreakdownValue(post, BreakdownKind::mult, "total", &type).value_or(0));
    return f;
}

std::string BreakdownFault(const ScorePost& post, bool pointsTimesMults) {
    std::set<std::tuple<BreakdownKind, std::string, std::string, std::string>> seen;
    for (const BreakdownEntry& e : post.breakdown)
        if (!seen.emplace(e.kind, e.band, e.mode, e.type).second)
            return std::string("<") + KindName(e.kind) + " band=\"" + e.band + "\" mode=\"" + e.mode + "\"" +
                   (e.type.empty() ? "" : " type=\"" + e.type + "\"") + "> is given twice";

    for (const auto& [kind, what] : {std::pair{BreakdownKind::qso, "QSOs"}, {BreakdownKind::point, "points"}}) {
        const auto total = BreakdownValue(post, kind, "total", nullptr);
        const std::set<std::string> bands = Bands(post, kind);
        if (!total || bands.empty()) continue;
        std::int64_t sum = 0;
        for (const std::string& band : bands) sum = Plus(sum, BreakdownValue(post, kind, band, nullptr).value_or(0));
        if (sum != *total)
            return std::string(what) + " by band add up to " + std::to_string(sum) + ", the total says " +
                   std::to_string(*total);
    }

    if (pointsTimesMults) {
        const PostFigures f = FiguresOf(post);
        if (f.points && f.mults) {
            // Both are at most 2^63 - 1: the product is taken in 128 bits, so no post can wrap it.
            const __int128 expected = static_cast<__int128>(*f.points) * *f.mults;
            if (expected != post.score)
                return "score " + std::to_string(post.score) + " is not points " + std::to_string(*f.points) +
                       " x multipliers " + std::to_string(*f.mults) +
                       (expected <= INT64_MAX ? " = " + std::to_string(static_cast<std::int64_t>(expected)) : "");
        }
    }
    return {};
}

std::vector<std::string> BreakdownBands(const ScorePost& post) {
    std::vector<std::string> bands;
    bool total = false;
    for (const BreakdownEntry& e : post.breakdown) {
        if (e.band == "total") total = true;
        else if (std::find(bands.begin(), bands.end(), e.band) == bands.end()) bands.push_back(e.band);
    }
    // Metres as numbers, longest first; a name that is not one after them.
    const auto metres = [](const std::string& band) {
        long value = 0;
        const auto [end, error] = std::from_chars(band.data(), band.data() + band.size(), value);
        return error == std::errc() && end == band.data() + band.size() ? value : -1L;
    };
    std::stable_sort(bands.begin(), bands.end(),
                     [&](const std::string& a, const std::string& b) { return metres(a) > metres(b); });
    if (total) bands.push_back("total");
    return bands;
}

std::vector<std::string> MultTypes(const ScorePost& post) {
    std::vector<std::string> types;
    for (const BreakdownEntry& e : post.breakdown)
        if (e.kind == BreakdownKind::mult && std::find(types.begin(), types.end(), e.type) == types.end())
            types.push_back(e.type);
    return types;
}
