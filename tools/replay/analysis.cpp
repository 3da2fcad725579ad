#include "analysis.h"

#include <algorithm>
#include <cmath>

namespace {

// Whole seconds: times from a log are whole minutes or seconds, and sums of
// fractions of days would drift.
long long Seconds(const DateTime& t) { return std::llround(t.value * 86400.0); }
long long HourOf(const DateTime& t) { return Seconds(t) / 3600 - (Seconds(t) % 3600 < 0 ? 1 : 0); }
DateTime HourStart(long long hour) { return DateTime{static_cast<double>(hour) / 24.0}; }

bool IsStored(const LedgerRow& r) { return Stored(r.verdict); }

// Rows in time order; the log's own order breaks ties.
std::vector<const LedgerRow*> ByTime(const Ledger& ledger, bool (*keep)(const LedgerRow&)) {
    std::vector<const LedgerRow*> rows;
    for (const auto& r : ledger.rows)
        if (keep(r) && r.qso->time.status == DateTimeStatus::valid) rows.push_back(&r);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const LedgerRow* a, const LedgerRow* b) { return Seconds(a->qso->time) < Seconds(b->qso->time); });
    return rows;
}

}  // namespace

BestRate BestStretch(std::vector<DateTime> times, int minutes) {
    std::sort(times.begin(), times.end(), [](const DateTime& a, const DateTime& b) { return a.value < b.value; });
    BestRate best;
    std::size_t from = 0;
    for (std::size_t to = 0; to < times.size(); ++to) {
        while (Seconds(times[to]) - Seconds(times[from]) >= minutes * 60LL) ++from;
        const int n = static_cast<int>(to - from + 1);
        if (n > best.qsos) best = BestRate{n, times[from], times[to]};
    }
    return best;
}

Analysis Analyse(const Ledger& ledger, const std::vector<std::string>& bandOrder, int breakMinutes) {
    Analysis a;
    const auto stored = ByTime(ledger, IsStored);
    const auto counted = ByTime(ledger, [](const LedgerRow& r) { return r.verdict == IntakeVerdict::accepted; });

    for (const auto& band : bandOrder)
        for (const auto* r : counted)
            if (r->qso->band == band) {
                a.bands.push_back(band);
                break;
            }
    for (const auto& band : a.bands) a.bandActivity.push_back(BandActivity{band});
    const auto activity = [&a](const std::string& band) -> BandActivity* {
        for (auto& b : a.bandActivity)
            if (b.band == band) return &b;
        return nullptr;
    };

    if (!stored.empty()) {
        a.time.first = stored.front()->qso->time;
        a.time.last = stored.back()->qso->time;
        for (std::size_t i = 1; i < stored.size(); ++i) {
            const LogQso& prev = *stored[i - 1]->qso;
            const LogQso& q = *stored[i]->qso;
            const std::int64_t gap = (Seconds(q.time) - Seconds(prev.time)) / 60;
            if (q.band != prev.band) ++a.bandChanges;
            if (gap >= breakMinutes) {
                a.time.breaks.push_back(Break{prev.time, q.time, gap});
                a.time.breakMinutes += gap;
            } else if (BandActivity* b = activity(prev.band)) {
                b->minutes += gap;
            }
        }
        a.time.operatingMinutes = (Seconds(a.time.last) - Seconds(a.time.first)) / 60 - a.time.breakMinutes;
    }

    std::vector<DateTime> times;
    for (const auto* r : counted) {
        times.push_back(r->qso->time);
        if (BandActivity* b = activity(r->qso->band)) {
            const auto c = static_cast<std::size_t>(*r->pointClass);
            ++b->qsos[c];
            b->points[c] += r->points;
        }
    }
    a.best10 = BestStretch(times, 10);
    a.best60 = BestStretch(times, 60);

    // Clock hours from the first to the last; a log that spans more than a couple
    // of weeks (a wrong date) gets only the hours it has QSOs in.
    if (!counted.empty()) {
        const long long first = HourOf(counted.front()->qso->time), last = HourOf(counted.back()->qso->time);
        std::map<long long, HourFigures> hours;
        if (last - first < 24 * 14)
            for (long long h = first; h <= last; ++h) hours[h].hour = HourStart(h);
        for (const auto* r : counted) {
            HourFigures& h = hours[HourOf(r->qso->time)];
            h.hour = HourStart(HourOf(r->qso->time));
            ++h.qsos[r->qso->band];
            h.points[r->qso->band] += r->points;
        }
        // The score after the last QSO logged within each hour, carried over empty hours.
        for (const auto& r : ledger.rows) {
            if (r.qso->time.status != DateTimeStatus::valid) continue;
            const auto it = hours.find(HourOf(r.qso->time));
            if (it == hours.end()) continue;
            it->second.score = r.score;
            it->second.exchangeMults = r.exchangeMults;
            it->second.prefixMults = r.prefixMults;
        }
        const HourFigures* prev = nullptr;
        for (auto& [h, figures] : hours) {
            if (prev && figures.qsos.empty() && figures.score == 0) {
                figures.score = prev->score;
                figures.exchangeMults = prev->exchangeMults;
                figures.prefixMults = prev->prefixMults;
            }
            prev = &figures;
            a.hours.push_back(figures);
        }
        // The last hour ends where the log ends, at the claimed score.
        if (!a.hours.empty() && !ledger.rows.empty()) {
            a.hours.back().score = ledger.rows.back().score;
            a.hours.back().exchangeMults = ledger.rows.back().exchangeMults;
            a.hours.back().prefixMults = ledger.rows.back().prefixMults;
        }
    }
    return a;
}
