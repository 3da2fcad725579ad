#include "round_trip.h"

namespace {

std::string Row(const LedgerRow& r) {
    return RecordRow(*r.qso) + " " + VerdictText(r) + ", " + std::to_string(r.points) + " points";
}

// A dupe names its record, which the Cabrillo file numbers afresh.
bool SameVerdict(const LedgerRow& a, const LedgerRow& b) { return a.verdict == b.verdict && a.points == b.points; }

}  // namespace

std::string CompareRoundTrip(const Ledger& logged, const Ledger& reread) {
    std::vector<const LedgerRow*> stored;
    for (const auto& r : logged.rows)
        if (Stored(r.verdict)) stored.push_back(&r);
    std::string differences;
    int n = 0;
    const std::size_t both = std::min(stored.size(), reread.rows.size());
    for (std::size_t i = 0; i < both; ++i) {
        const LedgerRow& a = *stored[i];
        const LedgerRow& b = reread.rows[i];
        if (SameVerdict(a, b) && a.qso->call == b.qso->call && a.qso->band == b.qso->band) continue;
        ++n;
        differences += "  logged:" + Row(a).substr(1) + "\n  re-read:" + Row(b).substr(1) + "\n";
    }
    for (std::size_t i = both; i < stored.size(); ++i, ++n) differences += "  not in the file:" + Row(*stored[i]).substr(1) + "\n";
    for (std::size_t i = both; i < reread.rows.size(); ++i, ++n)
        differences += "  only in the file:" + Row(reread.rows[i]).substr(1) + "\n";
    if (n == 0 && logged.score == reread.score) return "Cabrillo file re-read: the same score\n";
    return "Cabrillo file re-read: score " + std::to_string(reread.score) + ", logged " + std::to_string(logged.score) +
           "; " + std::to_string(n) + " QSOs differ\n" + differences;
}
