#include "cross_check.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "call_distance.h"
#include "contest/scoring.h"
#include "logs/master_scp.h"
#include "logs/rtty_shift.h"
#include "logs/text.h"
#include "parallel.h"
#include "station_score.h"

namespace {

using Ref = std::pair<std::uint32_t, std::uint32_t>;  // log, QSO

// One QSO in the matching: the pair of logs, band and mode, and the time.
struct Entry {
    std::uint64_t pair;
    std::uint32_t bandMode;
    std::int32_t minute;
    std::uint32_t log, qso;
    bool operator<(const Entry& o) const {
        if (pair != o.pair) return pair < o.pair;
        if (bandMode != o.bandMode) return bandMode < o.bandMode;
        if (minute != o.minute) return minute < o.minute;
        return log != o.log ? log < o.log : qso < o.qso;
    }
};

std::string Number(std::string_view text) {
    std::string n = ToUpper(Trim(text));
    if (IsDigits(n, n.size()) && !n.empty()) {
        const auto first = n.find_first_not_of('0');
        n = first == std::string::npos ? "0" : n.substr(first);
    }
    return n;
}

// The received text read through the other shift, as a number; empty when it
// does not read as figures.
std::string ShiftedNumber(std::string_view rcvd) {
    std::string figures;
    for (char c : ToUpper(Trim(rcvd))) {
        if (c >= '0' && c <= '9') figures += c;
        else if (const char twin = ShiftTwin(c); twin >= '0' && twin <= '9') figures += twin;
        else return "";
    }
    return figures.empty() ? "" : Number(figures);
}

class Checker {
public:
    Checker(const ContestLogs& logs, const CountryFile& cty, const CheckSettings& s,
            const std::function<void(double)>& progress)
        : logs_(logs), s_(s), calls_(logs, cty), progress_(progress) {}

    CheckResult Run() {
        const std::size_t n = logs_.logs.size();
        result_.logs.resize(n);
        inPeriod_.resize(n);
        verdicts_.resize(n);
        // The clocks first, from every QSO: the period is judged on the clock corrected.
        for (std::size_t l = 0; l < n; ++l) inPeriod_[l].assign(logs_.logs[l].qsos.size(), true);
        EstimateOffsets();
        Report(0.2);
        ParallelFor(n, [this](std::size_t l) { Judge(l); });
        Report(0.5);
        Match();
        Report(0.7);
        Verdicts();
        Report(0.8);
        ParallelFor(n, [this](std::size_t l) { Rescore(l); });
        Report(1.0);
        return std::move(result_);
    }

private:
    void Report(double share) {
        if (progress_) progress_(share);
    }

    bool Within(std::int32_t minute) const {
        return (!s_.start || minute >= *s_.start) && (!s_.end || minute <= *s_.end);
    }

    // The period and the rule code, as the plug-in judges each QSO.
    void Judge(std::size_t l) {
        const StationLog& log = logs_.logs[l];
        LogCheck& c = result_.logs[l];
        c.qsos.resize(log.qsos.size());
        for (std::size_t i = 0; i < log.qsos.size(); ++i) inPeriod_[l][i] = Within(log.qsos[i].minute - c.offset);
        StationScore score = ScoreStation(logs_, log, calls_, inPeriod_[l], s_.contestModes);
        c.claimed = score.figures;
        verdicts_[l] = std::move(score.verdicts);
        for (std::size_t i = 0; i < log.qsos.size(); ++i) c.qsos[i].points = score.points[i];
    }

    std::vector<Entry> Entries(bool corrected) const {
        std::vector<Entry> entries;
        for (std::uint32_t l = 0; l < logs_.logs.size(); ++l) {
            const StationLog& log = logs_.logs[l];
            const std::int32_t offset = corrected ? result_.logs[l].offset : 0;
            for (std::uint32_t i = 0; i < log.qsos.size(); ++i) {
                const CheckQso& q = log.qsos[i];
                const std::int32_t other = logs_.LogOf(q.call);
                if (other < 0 || static_cast<std::uint32_t>(other) == l) continue;
                const auto a = std::min<std::uint32_t>(l, static_cast<std::uint32_t>(other));
                const auto b = std::max<std::uint32_t>(l, static_cast<std::uint32_t>(other));
                entries.push_back({(std::uint64_t{a} << 32) | b, (std::uint32_t{q.band} << 16) | q.mode,
                                   q.minute - offset, l, i});
            }
        }
        std::sort(entries.begin(), entries.end());
        return entries;
    }

    template <typename Fn>
    static void ForEachGroup(const std::vector<Entry>& entries, Fn fn) {
        for (std::size_t from = 0; from < entries.size();) {
            std::size_t to = from + 1;
            while (to < entries.size() && entries[to].pair == entries[from].pair &&
                   entries[to].bandMode == entries[from].bandMode)
                ++to;
            fn(from, to);
            from = to;
        }
    }

    bool NumbersAgree(const CheckQso& received, const CheckQso& sent) const {
        return Number(received.rcvd) == Number(sent.sent);
    }

    // Sure matches: one QSO each way on the band, within the offset limit, both
    // numbers right. The offset of each log is the median difference to the
    // other logs' clocks, first taken as right, then as found.
    void EstimateOffsets() {
        const auto entries = Entries(false);
        struct Sure {
            std::uint32_t a, b;
            std::int32_t diff;  // a's time less b's
        };
        std::vector<Sure> sure;
        ForEachGroup(entries, [&](std::size_t from, std::size_t to) {
            if (to - from != 2 || entries[from].log == entries[from + 1].log) return;
            const Entry& x = entries[from];
            const Entry& y = entries[from + 1];
            const CheckQso& qx = logs_.logs[x.log].qsos[x.qso];
            const CheckQso& qy = logs_.logs[y.log].qsos[y.qso];
            const std::int32_t diff = x.minute - y.minute;
            if (std::abs(diff) > s_.offsetLimitMinutes || !NumbersAgree(qx, qy) || !NumbersAgree(qy, qx)) return;
            sure.push_back({x.log, y.log, diff});
        });
        const std::size_t n = logs_.logs.size();
        std::vector<std::int32_t> found(n, 0);
        for (int round = 0; round < 2; ++round) {
            std::vector<std::vector<std::int32_t>> diffs(n);
            for (const Sure& m : sure) {
                diffs[m.a].push_back(m.diff + found[m.b]);
                diffs[m.b].push_back(-m.diff + found[m.a]);
            }
            std::vector<std::int32_t> next(n, 0);
            for (std::size_t l = 0; l < n; ++l) {
                auto& d = diffs[l];
                result_.logs[l].sureMatches = static_cast<int>(d.size());
                if (static_cast<int>(d.size()) < s_.minSureMatches) continue;
                std::nth_element(d.begin(), d.begin() + static_cast<long>(d.size() / 2), d.end());
                const std::int32_t median = d[d.size() / 2];
                if (std::abs(median) <= s_.offsetLimitMinutes) next[l] = median;
            }
            found = std::move(next);
        }
        for (std::size_t l = 0; l < n; ++l) result_.logs[l].offset = found[l];
    }

    // Within each pair of logs, band and mode: the nearest QSOs in time pair up first.
    void Match() {
        const auto entries = Entries(true);
        matched_.resize(logs_.logs.size());
        for (std::size_t l = 0; l < logs_.logs.size(); ++l) matched_[l].assign(logs_.logs[l].qsos.size(), kNone);
        std::vector<std::pair<std::int32_t, std::pair<std::size_t, std::size_t>>> candidates;
        ForEachGroup(entries, [&](std::size_t from, std::size_t to) {
            candidates.clear();
            for (std::size_t i = from; i < to; ++i)
                for (std::size_t j = i + 1; j < to && entries[j].minute - entries[i].minute <= s_.windowMinutes; ++j)
                    if (entries[i].log != entries[j].log)
                        candidates.push_back({entries[j].minute - entries[i].minute, {i, j}});
            std::sort(candidates.begin(), candidates.end());
            for (const auto& [gap, ij] : candidates) {
                const Entry& x = entries[ij.first];
                const Entry& y = entries[ij.second];
                if (matched_[x.log][x.qso] != kNone || matched_[y.log][y.qso] != kNone) continue;
                matched_[x.log][x.qso] = Pack(y.log, y.qso);
                matched_[y.log][y.qso] = Pack(x.log, x.qso);
            }
        });
    }

    static std::uint64_t Pack(std::uint32_t log, std::uint32_t qso) { return (std::uint64_t{log} << 32) | qso; }
    static constexpr std::uint64_t kNone = ~std::uint64_t{0};

    bool Known(std::uint32_t call) const {
        return s_.scp && KnownToScp(*s_.scp, logs_.calls.Text(call));
    }

    std::int32_t Corrected(std::uint32_t log, const CheckQso& q) const { return q.minute - result_.logs[log].offset; }

    bool Unmatched(std::uint32_t log, std::uint32_t qso) const { return matched_[log][qso] == kNone; }

    // An unmatched QSO of `log` at about the time of `q`, on its band and mode,
    // whose call is close to `call` and passes `accept`.
    template <typename Accept>
    std::optional<Ref> Near(std::uint32_t log, std::int32_t minute, const CheckQso& q, Accept accept) const {
        const auto& order = byTime_[log];
        const StationLog& other = logs_.logs[log];
        auto it = std::lower_bound(order.begin(), order.end(), minute - s_.windowMinutes,
                                   [&](std::uint32_t i, std::int32_t m) { return Corrected(log, other.qsos[i]) < m; });
        for (; it != order.end() && Corrected(log, other.qsos[*it]) <= minute + s_.windowMinutes; ++it) {
            const CheckQso& o = other.qsos[*it];
            if (o.band == q.band && o.mode == q.mode && Unmatched(log, *it) && accept(o)) return Ref{log, *it};
        }
        return std::nullopt;
    }

    void Verdicts() {
        const std::size_t n = logs_.logs.size();
        byTime_.resize(n);
        std::vector<std::uint32_t> workedBy(logs_.calls.size(), 0);
        ParallelFor(n, [this](std::size_t l) {
            const StationLog& log = logs_.logs[l];
            auto& order = byTime_[l];
            order.resize(log.qsos.size());
            for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
            std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
                return log.qsos[a].minute < log.qsos[b].minute;
            });
        });
        for (std::size_t l = 0; l < n; ++l) {
            const StationLog& log = logs_.logs[l];
            std::vector<std::uint32_t> calls;
            for (const auto& q : log.qsos) calls.push_back(q.call);
            std::sort(calls.begin(), calls.end());
            calls.erase(std::unique(calls.begin(), calls.end()), calls.end());
            for (auto c : calls) ++workedBy[c];
        }
        // Unmatched QSOs by the call they logged: where a station with a close
        // call finds its busted QSOs.
        std::unordered_map<std::uint32_t, std::vector<Ref>> unmatchedByCall;
        for (std::uint32_t l = 0; l < n; ++l)
            for (std::uint32_t i = 0; i < logs_.logs[l].qsos.size(); ++i)
                if (Unmatched(l, i)) unmatchedByCall[logs_.logs[l].qsos[i].call].push_back({l, i});

        ParallelFor(n, [&](std::size_t index) {
            const auto l = static_cast<std::uint32_t>(index);
            const StationLog& log = logs_.logs[l];
            LogCheck& c = result_.logs[l];
            for (std::uint32_t i = 0; i < log.qsos.size(); ++i) {
                const CheckQso& q = log.qsos[i];
                QsoCheck& v = c.qsos[i];
                const std::int32_t other = logs_.LogOf(q.call);
                if (!inPeriod_[l][i]) {
                    v.verdict = Verdict::outsidePeriod;
                    v.why = Why::rule;
                } else if (verdicts_[l][i] == IntakeVerdict::wrongBand) {
                    v.verdict = Verdict::wrongBand;
                    v.why = Why::rule;
                } else if (verdicts_[l][i] == IntakeVerdict::wrongMode) {
                    v.verdict = Verdict::wrongMode;
                    v.why = Why::rule;
                } else if (verdicts_[l][i] == IntakeVerdict::dupe) {
                    v.verdict = Verdict::dupe;
                    v.why = Why::dupeOf;
                    v.otherLog = static_cast<std::int32_t>(l);
                    v.otherQso = FirstOf(log, i);
                } else if (verdicts_[l][i] == IntakeVerdict::noRxNumber) {
                    v.verdict = Verdict::bustedExchange;
                    v.why = Why::noNumber;
                } else if (matched_[l][i] != kNone) {
                    Matched(l, i, v);
                } else if (other >= 0) {
                    Unanswered(l, i, static_cast<std::uint32_t>(other), v);
                } else {
                    NoLog(l, i, workedBy, unmatchedByCall, v);
                }
                ++c.counts[static_cast<int>(v.verdict)];
            }
        });
        for (const LogCheck& c : result_.logs)
            for (int v = 0; v < kVerdictCount; ++v) result_.counts[v] += c.counts[v];
    }

    std::int32_t FirstOf(const StationLog& log, std::uint32_t dupe) const {
        const CheckQso& d = log.qsos[dupe];
        for (std::uint32_t i = 0; i < dupe; ++i) {
            const CheckQso& q = log.qsos[i];
            if (q.call == d.call && q.band == d.band && q.mode == d.mode) return static_cast<std::int32_t>(i);
        }
        return -1;
    }

    void Matched(std::uint32_t l, std::uint32_t i, QsoCheck& v) const {
        const std::uint64_t m = matched_[l][i];
        const auto ol = static_cast<std::uint32_t>(m >> 32), oi = static_cast<std::uint32_t>(m);
        const CheckQso& q = logs_.logs[l].qsos[i];
        const CheckQso& o = logs_.logs[ol].qsos[oi];
        v.otherLog = static_cast<std::int32_t>(ol);
        v.otherQso = static_cast<std::int32_t>(oi);
        v.otherOffset = static_cast<std::int16_t>(result_.logs[ol].offset);
        v.why = Why::matched;
        if (NumbersAgree(q, o)) return;
        v.verdict = Verdict::bustedExchange;
        v.why = Why::numberDiffers;
        v.shift = ShiftedNumber(q.rcvd) == Number(o.sent);
    }

    // The worked station's log is here and nothing in it matched.
    void Unanswered(std::uint32_t l, std::uint32_t i, std::uint32_t other, QsoCheck& v) const {
        const StationLog& log = logs_.logs[l];
        const CheckQso& q = log.qsos[i];
        // The other station may have miscopied this station's call: then it is
        // that station's busted call, not this one's fault.
        const auto theirs = Near(other, Corrected(l, q), q, [&](const CheckQso& o) {
            return logs_.LogOf(o.call) < 0 && !Known(o.call) && IsClose(Distance(logs_.calls.Text(o.call), log.call));
        });
        v.otherLog = static_cast<std::int32_t>(other);
        v.otherOffset = static_cast<std::int16_t>(result_.logs[other].offset);
        if (theirs) {
            v.why = Why::theyBustedYou;
            v.otherQso = static_cast<std::int32_t>(theirs->second);
            const auto d = Distance(logs_.calls.Text(logs_.logs[other].qsos[theirs->second].call), log.call);
            v.distance = static_cast<std::int8_t>(d.edits);
            v.shift = d.shift;
            return;
        }
        v.verdict = Verdict::nil;
        v.why = Why::noQsoThere;
    }

    // The worked call sent no log: a close call's log may hold the QSO, or the
    // call may be one nobody else worked.
    void NoLog(std::uint32_t l, std::uint32_t i, const std::vector<std::uint32_t>& workedBy,
               const std::unordered_map<std::uint32_t, std::vector<Ref>>& unmatchedByCall, QsoCheck& v) const {
        const StationLog& log = logs_.logs[l];
        const CheckQso& q = log.qsos[i];
        v.why = Why::noLogThere;
        if (Known(q.call)) return;
        const std::string& call = logs_.calls.Text(q.call);
        const std::int32_t minute = Corrected(l, q);
        if (const auto it = unmatchedByCall.find(log.callId); it != unmatchedByCall.end()) {
            for (const Ref& r : it->second) {
                const StationLog& other = logs_.logs[r.first];
                const CheckQso& o = other.qsos[r.second];
                if (o.band != q.band || o.mode != q.mode ||
                    std::abs(Corrected(r.first, o) - minute) > s_.windowMinutes)
                    continue;
                const CallDistance d = Distance(call, other.call);
                if (!IsClose(d)) continue;
                v.verdict = Verdict::bustedCall;
                v.why = Why::closeCallLogged;
                v.otherLog = static_cast<std::int32_t>(r.first);
                v.otherQso = static_cast<std::int32_t>(r.second);
                v.otherOffset = static_cast<std::int16_t>(result_.logs[r.first].offset);
                v.distance = static_cast<std::int8_t>(d.edits);
                v.shift = d.shift;
                return;
            }
        }
        if (workedBy[q.call] == 1) {
            v.verdict = Verdict::unique;
            v.why = Why::nobodyElse;
        }
    }

    // Claimed against checked: the rule code again without the removed QSOs.
    void Rescore(std::size_t l) {
        const StationLog& log = logs_.logs[l];
        LogCheck& c = result_.logs[l];
        std::vector<bool> handed(log.qsos.size());
        int penalty = 0, errors = 0;
        for (std::size_t i = 0; i < log.qsos.size(); ++i) {
            const Verdict v = c.qsos[i].verdict;
            const bool removed = RemovedFromCheckedScore(v, s_.removeUniques);
            handed[i] = inPeriod_[l][i] && !removed;
            if (v == Verdict::nil || v == Verdict::bustedCall) penalty += s_.penalty * c.qsos[i].points;
            if (removed || v == Verdict::unique) ++errors;
        }
        const bool any = std::find(handed.begin(), handed.end(), false) != handed.end();
        c.checked = any ? ScoreStation(logs_, log, calls_, handed, s_.contestModes).figures : c.claimed;
        c.penaltyPoints = penalty;
        if (penalty > 0) {
            const int points = std::max(0, c.checked.points - penalty);
            c.checked.score = ClaimedScore(points, c.checked.exchangeMults, c.checked.prefixMults);
        }
        const std::size_t counted = log.qsos.size() - static_cast<std::size_t>(c.counts[int(Verdict::outsidePeriod)]);
        c.errorRate = counted ? 100.0 * errors / static_cast<double>(counted) : 0;
    }

    const ContestLogs& logs_;
    const CheckSettings& s_;
    CallAnalyses calls_;
    const std::function<void(double)>& progress_;
    CheckResult result_;
    std::vector<std::vector<bool>> inPeriod_;
    std::vector<std::vector<std::optional<IntakeVerdict>>> verdicts_;
    std::vector<std::vector<std::uint64_t>> matched_;
    std::vector<std::vector<std::uint32_t>> byTime_;
};

}  // namespace

const char* VerdictName(Verdict v) {
    switch (v) {
        case Verdict::ok: return "ok";
        case Verdict::nil: return "nil";
        case Verdict::bustedCall: return "busted-call";
        case Verdict::bustedExchange: return "busted-exchange";
        case Verdict::unique: return "unique";
        case Verdict::dupe: return "dupe";
        case Verdict::outsidePeriod: return "outside-period";
        case Verdict::wrongBand: return "wrong-band";
        case Verdict::wrongMode: return "wrong-mode";
    }
    return "";
}

CheckResult CheckContest(const ContestLogs& logs, const CountryFile& cty, const CheckSettings& settings,
                         const std::function<void(double)>& progress) {
    return Checker(logs, cty, settings, progress).Run();
}
