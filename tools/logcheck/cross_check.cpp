#include "cross_check.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <unordered_map>

#include "call_distance.h"
#include "contest/scoring.h"
#include "definition_score.h"
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

// Every exchange value once: what it is compared by, as a number and as text.
class ValueKeys {
public:
    explicit ValueKeys(const Names& values) : text_(values.size()), number_(values.size()), shifted_(values.size()) {
        Names keys;
        keys.Id("");
        for (std::uint32_t id = 0; id < values.size(); ++id) {
            const std::string& v = values.Text(id);
            text_[id] = keys.Id(ToUpper(Trim(v)));
            number_[id] = keys.Id(Number(v));
            const std::string shifted = ShiftedNumber(v);
            shifted_[id] = shifted.empty() ? Names::npos : keys.Id(shifted);
        }
    }
    bool Empty(std::uint32_t id) const { return text_[id] == 0; }
    // What was sent but not logged is no evidence either way.
    bool Agree(FieldKind kind, std::uint32_t rcvd, std::uint32_t sent) const {
        if (Empty(sent)) return true;
        return kind == FieldKind::number ? number_[rcvd] == number_[sent] : text_[rcvd] == text_[sent];
    }
    bool ShiftReads(std::uint32_t rcvd, std::uint32_t sent) const { return shifted_[rcvd] == number_[sent]; }

private:
    std::vector<std::uint32_t> text_, number_, shifted_;
};

class Checker {
public:
    Checker(const ContestLogs& logs, const CountryFile& cty, const CheckSettings& s,
            const std::function<void(double)>& progress)
        : logs_(logs), s_(s), d_(s.contest), fields_(d_.Fields()), keys_(logs.values), calls_(logs, cty),
          progress_(progress) {
        for (std::size_t f = 0; f < fields_.size(); ++f)
            if (fields_[f].kind == FieldKind::number) {
                plugin_.number = f;
                break;
            }
        plugin_.rst = -1;
        for (std::size_t f = 0; f < fields_.size() && plugin_.rst < 0; ++f)
            if (fields_[f].kind == FieldKind::rst) plugin_.rst = static_cast<int>(f);
        // As the readers take a report: the first of two or more fields, unless it is the number.
        if (plugin_.rst < 0 && fields_.size() >= 2 && plugin_.number != 0) plugin_.rst = 0;
    }

    CheckResult Run() {
        const std::size_t n = logs_.logs.size();
        result_.logs.resize(n);
        inPeriod_.resize(n);
        verdicts_.resize(n);
        // The clocks first, from every QSO: the period is judged on the clock corrected.
        EstimateOffsets();
        Report(0.2);
        ParallelFor(n, [this](std::size_t l) { Judge(l); });
        Report(0.5);
        SortByTime();
        Match();
        MatchAcrossBands();
        MatchOncePerBand();
        Report(0.6);
        OwnVerdicts();
        Report(0.7);
        BothSides();
        ParallelFor(n, [this](std::size_t l) { Dupes(l); });
        Report(0.8);
        ParallelFor(n, [this](std::size_t l) { Rescore(l); });
        for (LogCheck& c : result_.logs) {
            for (const QsoCheck& v : c.qsos) ++c.counts[static_cast<int>(v.verdict)];
            for (int v = 0; v < kVerdictCount; ++v) result_.counts[v] += c.counts[v];
        }
        Report(1.0);
        return std::move(result_);
    }

private:
    void Report(double share) {
        if (progress_) progress_(share);
    }

    const std::string& ModeOf(const CheckQso& q) const { return logs_.modes.Text(q.mode); }
    std::int32_t Corrected(std::uint32_t log, const CheckQso& q) const { return q.minute - result_.logs[log].offset; }

    // The period and the bands, modes and segments: the plug-in's rule code or the definition.
    void Judge(std::size_t l) {
        const StationLog& log = logs_.logs[l];
        LogCheck& c = result_.logs[l];
        c.qsos.resize(log.qsos.size());
        inPeriod_[l].assign(log.qsos.size(), true);
        for (std::size_t i = 0; i < log.qsos.size(); ++i) {
            const CheckQso& q = log.qsos[i];
            const std::int32_t minute = d_.periodOnLoggedClock ? q.minute : Corrected(static_cast<std::uint32_t>(l), q);
            inPeriod_[l][i] = d_.InPeriod(minute, ModeOf(q));
        }
        if (d_.pluginRules) {
            StationScore score = ScoreStation(logs_, log, calls_, inPeriod_[l], d_.modes, plugin_);
            c.claimed = score.figures;
            verdicts_[l] = std::move(score.verdicts);
            for (std::size_t i = 0; i < log.qsos.size(); ++i) c.qsos[i].points = score.points[i];
            return;
        }
        auto& verdicts = verdicts_[l];
        verdicts.assign(log.qsos.size(), IntakeVerdict::accepted);
        for (std::size_t i = 0; i < log.qsos.size(); ++i) {
            const CheckQso& q = log.qsos[i];
            const std::string& band = logs_.bands.Text(q.band);
            if (!d_.HasBand(band)) verdicts[i] = IntakeVerdict::wrongBand;
            else if (!d_.HasMode(ModeOf(q))) verdicts[i] = IntakeVerdict::wrongMode;
            else if (!d_.InSegment(band, ModeOf(q), q.freqKHz)) c.qsos[i].why = Why::outsideSegment;
        }
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

    // The checked fields of `received` that are not what `sent` shows as sent (bit i: field i).
    std::uint8_t WrongFields(const CheckQso& received, const CheckQso& sent) const {
        std::uint8_t wrong = 0;
        for (std::size_t f = 0; f < fields_.size(); ++f)
            if (fields_[f].checked && !keys_.Agree(fields_[f].kind, received.rcvd[f], sent.sent[f]))
                wrong |= static_cast<std::uint8_t>(1u << f);
        return wrong;
    }

    // `copier` logged each checked number that `sender` sent (a number among
    // the fields, none empty): the line was a QSO with that station.
    bool CopiedNumbers(const CheckQso& copier, const CheckQso& sender) const {
        bool number = false;
        for (std::size_t f = 0; f < fields_.size(); ++f) {
            if (!fields_[f].checked || fields_[f].kind != FieldKind::number) continue;
            if (keys_.Empty(copier.rcvd[f]) || keys_.Empty(sender.sent[f]) ||
                !keys_.Agree(FieldKind::number, copier.rcvd[f], sender.sent[f]))
                return false;
            number = true;
        }
        return number;
    }

    // The exchange shows that the two lines are one QSO: each checked number
    // right both ways. A county or a report may be miscopied; the serials tell.
    bool Evident(const CheckQso& a, const CheckQso& b) const { return CopiedNumbers(a, b) && CopiedNumbers(b, a); }

    // Two lines whose exchange proves them one QSO match this far apart in time.
    int EvidentWindow() const { return std::max(s_.windowMinutes, s_.offsetLimitMinutes); }

    // Sure matches: one QSO each way on the band, within the offset limit, every
    // checked field right; or, where they worked again, the one pair their
    // serials tie together. The offset of each log is the median difference to
    // the other logs' clocks, first taken as right, then as found.
    void EstimateOffsets() {
        const auto entries = Entries(false);
        struct Sure {
            std::uint32_t a, b;
            std::int32_t diff;  // a's time less b's
        };
        std::vector<Sure> sure;
        std::vector<int> partners;
        ForEachGroup(entries, [&](std::size_t from, std::size_t to) {
            const auto qso = [&](std::size_t i) -> const CheckQso& { return logs_.logs[entries[i].log].qsos[entries[i].qso]; };
            if (to - from == 2) {
                const Entry& x = entries[from];
                const Entry& y = entries[from + 1];
                const std::int32_t diff = x.minute - y.minute;
                if (x.log == y.log || std::abs(diff) > s_.offsetLimitMinutes || WrongFields(qso(from), qso(from + 1)) ||
                    WrongFields(qso(from + 1), qso(from)))
                    return;
                sure.push_back({x.log, y.log, diff});
                return;
            }
            // Stations that may work each other again: a line whose serials tie it
            // to exactly one line of the other log, and that one to it alone.
            partners.assign(to - from, 0);
            std::vector<std::pair<std::size_t, std::size_t>> pairs;
            for (std::size_t i = from; i < to; ++i)
                for (std::size_t j = i + 1; j < to && entries[j].minute - entries[i].minute <= s_.offsetLimitMinutes; ++j)
                    if (entries[i].log != entries[j].log && Evident(qso(i), qso(j)) && !WrongFields(qso(i), qso(j)) &&
                        !WrongFields(qso(j), qso(i))) {
                        ++partners[i - from];
                        ++partners[j - from];
                        pairs.emplace_back(i, j);
                    }
            for (const auto& [i, j] : pairs)
                if (partners[i - from] == 1 && partners[j - from] == 1)
                    sure.push_back({entries[i].log, entries[j].log, entries[i].minute - entries[j].minute});
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

    // Within each pair of logs, band and mode: the pairs that agree on more of
    // the exchange first, then the nearest in time. The exchange decides which
    // of a station's two lines the other log confirms, whatever their numbers.
    void Match() {
        const auto entries = Entries(true);
        matched_.resize(logs_.logs.size());
        for (std::size_t l = 0; l < logs_.logs.size(); ++l) matched_[l].assign(logs_.logs[l].qsos.size(), kNone);
        struct Candidate {
            int wrong;
            std::int32_t gap;
            std::size_t i, j;
            bool operator<(const Candidate& o) const {
                return wrong != o.wrong ? wrong < o.wrong : gap != o.gap ? gap < o.gap : i != o.i ? i < o.i : j < o.j;
            }
        };
        std::vector<Candidate> candidates;
        ForEachGroup(entries, [&](std::size_t from, std::size_t to) {
            candidates.clear();
            for (std::size_t i = from; i < to; ++i)
                for (std::size_t j = i + 1; j < to && entries[j].minute - entries[i].minute <= s_.windowMinutes; ++j) {
                    if (entries[i].log == entries[j].log) continue;
                    int wrong = 0;
                    if (to - from > 2) {
                        const CheckQso& x = logs_.logs[entries[i].log].qsos[entries[i].qso];
                        const CheckQso& y = logs_.logs[entries[j].log].qsos[entries[j].qso];
                        wrong = std::popcount(WrongFields(x, y)) + std::popcount(WrongFields(y, x));
                    }
                    candidates.push_back({wrong, entries[j].minute - entries[i].minute, i, j});
                }
            std::sort(candidates.begin(), candidates.end());
            for (const Candidate& c : candidates) {
                const Entry& x = entries[c.i];
                const Entry& y = entries[c.j];
                if (matched_[x.log][x.qso] != kNone || matched_[y.log][y.qso] != kNone) continue;
                matched_[x.log][x.qso] = Pack(y.log, y.qso);
                matched_[y.log][y.qso] = Pack(x.log, x.qso);
            }
            // A clock that drifted, or times written down late: the exchange still tells.
            for (std::size_t i = from; i < to; ++i) {
                const Entry& x = entries[i];
                if (matched_[x.log][x.qso] != kNone) continue;
                for (std::size_t j = i + 1; j < to && entries[j].minute - x.minute <= EvidentWindow(); ++j) {
                    const Entry& y = entries[j];
                    if (y.log == x.log || matched_[y.log][y.qso] != kNone ||
                        !Evident(logs_.logs[x.log].qsos[x.qso], logs_.logs[y.log].qsos[y.qso]))
                        continue;
                    matched_[x.log][x.qso] = Pack(y.log, y.qso);
                    matched_[y.log][y.qso] = Pack(x.log, x.qso);
                    break;
                }
            }
        });
    }

    bool OncePerBand() const { return d_.dupes != DupeScope::none && d_.repeatAfter == 0; }

    // Lines still unmatched on different bands of the pair: two logs that
    // disagree on the band, one of them wrong, where the exchange proves the QSO.
    void MatchAcrossBands() {
        if (!d_.bandsMayDiffer) return;
        std::vector<Entry> entries;
        for (const Entry& e : Entries(true))
            if (matched_[e.log][e.qso] == kNone) entries.push_back({e.pair, e.bandMode & 0xFFFF, e.minute, e.log, e.qso});
        std::sort(entries.begin(), entries.end());
        ForEachGroup(entries, [&](std::size_t from, std::size_t to) {
            for (std::size_t i = from; i < to; ++i) {
                const Entry& x = entries[i];
                const CheckQso& qx = logs_.logs[x.log].qsos[x.qso];
                if (matched_[x.log][x.qso] != kNone) continue;
                for (std::size_t j = i + 1; j < to && entries[j].minute - x.minute <= s_.windowMinutes; ++j) {
                    const Entry& y = entries[j];
                    const CheckQso& qy = logs_.logs[y.log].qsos[y.qso];
                    if (y.log == x.log || matched_[y.log][y.qso] != kNone || qx.band == qy.band ||
                        !Evident(qx, qy))
                        continue;
                    matched_[x.log][x.qso] = Pack(y.log, y.qso);
                    matched_[y.log][y.qso] = Pack(x.log, x.qso);
                    break;
                }
            }
        });
    }

    // Once per band: where each log holds the other on the band once and
    // nothing matched them, the two lines are that one QSO whatever their times
    // and numbers, unless the exchange ties either to another line (a busted call).
    void MatchOncePerBand() {
        if (d_.dupes == DupeScope::none || d_.repeatAfter != 0) return;
        const auto entries = Entries(true);
        const auto tiedElsewhere = [&](const Entry& x, std::uint32_t otherLog) {
            const CheckQso& q = logs_.logs[x.log].qsos[x.qso];
            return Near(otherLog, q.minute - result_.logs[x.log].offset, EvidentWindow(), q,
                        [&](const CheckQso& o) { return Evident(q, o); })
                .has_value();
        };
        ForEachGroup(entries, [&](std::size_t from, std::size_t to) {
            if (to - from != 2 || entries[from].log == entries[from + 1].log) return;
            const Entry& x = entries[from];
            const Entry& y = entries[from + 1];
            if (matched_[x.log][x.qso] != kNone || matched_[y.log][y.qso] != kNone) return;
            if (tiedElsewhere(x, y.log) || tiedElsewhere(y, x.log)) return;
            matched_[x.log][x.qso] = Pack(y.log, y.qso);
            matched_[y.log][y.qso] = Pack(x.log, x.qso);
        });
    }

    static std::uint64_t Pack(std::uint32_t log, std::uint32_t qso) { return (std::uint64_t{log} << 32) | qso; }
    static constexpr std::uint64_t kNone = ~std::uint64_t{0};

    bool Known(std::uint32_t call) const { return s_.scp && KnownToScp(*s_.scp, logs_.calls.Text(call)); }
    bool Unmatched(std::uint32_t log, std::uint32_t qso) const { return matched_[log][qso] == kNone; }

    void SortByTime() {
        byTime_.resize(logs_.logs.size());
        ParallelFor(logs_.logs.size(), [this](std::size_t l) {
            const StationLog& log = logs_.logs[l];
            auto& order = byTime_[l];
            order.resize(log.qsos.size());
            for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
            std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
                return log.qsos[a].minute < log.qsos[b].minute;
            });
        });
    }

    // An unmatched QSO of `log` within `window` minutes of `minute`, on the band
    // and mode of `q`, that passes `accept`.
    template <typename Accept>
    std::optional<Ref> Near(std::uint32_t log, std::int32_t minute, int window, const CheckQso& q, Accept accept) const {
        const auto& order = byTime_[log];
        const StationLog& other = logs_.logs[log];
        auto it = std::lower_bound(order.begin(), order.end(), minute - window,
                                   [&](std::uint32_t i, std::int32_t m) { return Corrected(log, other.qsos[i]) < m; });
        for (; it != order.end() && Corrected(log, other.qsos[*it]) <= minute + window; ++it) {
            const CheckQso& o = other.qsos[*it];
            if (o.band == q.band && o.mode == q.mode && Unmatched(log, *it) && accept(o)) return Ref{log, *it};
        }
        return std::nullopt;
    }

    // Each QSO on its own: the rules, then what the other log holds.
    void OwnVerdicts() {
        const std::size_t n = logs_.logs.size();
        std::vector<std::uint32_t> workedBy(logs_.calls.size(), 0);
        for (std::size_t l = 0; l < n; ++l) {
            std::vector<std::uint32_t> calls;
            for (const auto& q : logs_.logs[l].qsos) calls.push_back(q.call);
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
                const auto rule = [&v](Verdict verdict) {
                    v.verdict = verdict;
                    v.removed = true;
                    if (v.why != Why::outsideSegment) v.why = Why::rule;
                };
                if (!inPeriod_[l][i]) {
                    rule(Verdict::outsidePeriod);
                    v.why = Why::rule;
                } else if (verdicts_[l][i] == IntakeVerdict::wrongBand || v.why == Why::outsideSegment) {
                    rule(Verdict::wrongBand);
                } else if (verdicts_[l][i] == IntakeVerdict::wrongMode) {
                    rule(Verdict::wrongMode);
                } else if (verdicts_[l][i] == IntakeVerdict::noRxNumber) {
                    v.verdict = Verdict::bustedExchange;
                    v.why = Why::noNumber;
                    v.removed = true;
                } else if (matched_[l][i] != kNone) {
                    Matched(l, i, v);
                } else if (other >= 0) {
                    Unanswered(l, i, static_cast<std::uint32_t>(other), unmatchedByCall, v);
                } else {
                    NoLog(l, i, workedBy, unmatchedByCall, v);
                }
            }
        });
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
        FieldsOf(q, o, v);
        if (v.wrongFields) v.why = Why::fieldsDiffer;
    }

    // The fields of `q` that are not what `o` sent: a busted exchange.
    void FieldsOf(const CheckQso& q, const CheckQso& o, QsoCheck& v) const {
        v.wrongFields = WrongFields(q, o);
        if (!v.wrongFields) return;
        v.verdict = Verdict::bustedExchange;
        for (std::size_t f = 0; f < fields_.size(); ++f)
            if ((v.wrongFields >> f & 1) && fields_[f].kind == FieldKind::number && keys_.ShiftReads(q.rcvd[f], o.sent[f]))
                v.shiftedFields |= static_cast<std::uint8_t>(1u << f);
        v.removed = !Reduced(v);
    }

    // A busted exchange that the rules let score reduced points.
    bool Reduced(const QsoCheck& v) const {
        return !d_.pluginRules && d_.oneFieldWrongPoints >= 0 && std::popcount(v.wrongFields) == 1;
    }

    // Whether a line that logged `logged` was a QSO with the station `call`:
    // a call one character off that is no station's (`unknownCall`), or two off
    // with the other side's numbers copied right, within the window; or both
    // sides' numbers right, within the wider window, whatever the call.
    bool SameStation(std::string_view logged, std::string_view call, int gap, bool unknownCall, bool copied,
                     bool evident) const {
        if (gap <= EvidentWindow() && evident) return true;
        if (gap > s_.windowMinutes) return false;
        const CallDistance d = Distance(logged, call);
        return (unknownCall && IsClose(d)) || (copied && (d.shift || d.edits <= 2));
    }

    // A line that logged this station (its call `call`), at about the time of
    // `q` on its band and mode, in a log other than `except`, whose station is
    // the one `q` worked: its call close to the one `q` logged, or its numbers
    // the ones `q` copied.
    std::optional<Ref> Owner(const std::unordered_map<std::uint32_t, std::vector<Ref>>& unmatchedByCall,
                             std::uint32_t call, std::uint32_t l, const CheckQso& q, std::int32_t except) const {
        const auto it = unmatchedByCall.find(call);
        if (it == unmatchedByCall.end()) return std::nullopt;
        const std::int32_t minute = Corrected(l, q);
        const std::string& logged = logs_.calls.Text(q.call);
        for (const Ref& r : it->second) {
            if (static_cast<std::int32_t>(r.first) == except || r.first == l) continue;
            const CheckQso& o = logs_.logs[r.first].qsos[r.second];
            if (o.band != q.band || o.mode != q.mode) continue;
            const int gap = std::abs(Corrected(r.first, o) - minute);
            if (gap > EvidentWindow()) continue;
            if (SameStation(logged, logs_.logs[r.first].call, gap, except < 0, CopiedNumbers(q, o), Evident(q, o)))
                return r;
        }
        return std::nullopt;
    }

    // `q` is the QSO in `owner`'s log: this station miscopied that call.
    void BustedCall(const CheckQso& q, const Ref& owner, QsoCheck& v) const {
        Quote(v, owner);
        v.verdict = Verdict::bustedCall;
        v.why = Why::closeCallLogged;
        v.removed = true;
        const CallDistance d = Distance(logs_.calls.Text(q.call), logs_.logs[owner.first].call);
        v.distance = static_cast<std::int8_t>(d.edits);
        v.shift = d.shift;
    }

    void Quote(QsoCheck& v, const Ref& r) const {
        v.otherLog = static_cast<std::int32_t>(r.first);
        v.otherQso = static_cast<std::int32_t>(r.second);
        v.otherOffset = static_cast<std::int16_t>(result_.logs[r.first].offset);
    }

    // The worked station's log is here and nothing in it matched.
    void Unanswered(std::uint32_t l, std::uint32_t i, std::uint32_t other,
                    const std::unordered_map<std::uint32_t, std::vector<Ref>>& unmatchedByCall, QsoCheck& v) const {
        const StationLog& log = logs_.logs[l];
        const CheckQso& q = log.qsos[i];
        // The other station may have miscopied this station's call: then it is
        // that station's busted call, not this one's fault.
        const std::int32_t minute = Corrected(l, q);
        const auto theirs = Near(other, minute, EvidentWindow(), q, [&](const CheckQso& o) {
            if (o.call == log.callId) return false;
            const int gap = std::abs(Corrected(other, o) - minute);
            return SameStation(logs_.calls.Text(o.call), log.call, gap, logs_.LogOf(o.call) < 0 && !Known(o.call),
                               CopiedNumbers(o, q), Evident(q, o));
        });
        if (theirs) {
            // Their busted call; what this station copied of their exchange is still checked.
            const CheckQso& o = logs_.logs[other].qsos[theirs->second];
            Quote(v, *theirs);
            v.why = Why::theyBustedYou;
            const auto d = Distance(logs_.calls.Text(o.call), log.call);
            v.distance = static_cast<std::int8_t>(d.edits);
            v.shift = d.shift;
            FieldsOf(q, o, v);
            return;
        }
        // Or this station miscopied the call of another that sent a log.
        if (const auto owner = Owner(unmatchedByCall, log.callId, l, q, static_cast<std::int32_t>(other)))
            return BustedCall(q, *owner, v);
        v.otherLog = static_cast<std::int32_t>(other);
        v.otherOffset = static_cast<std::int16_t>(result_.logs[other].offset);
        v.verdict = Verdict::nil;
        v.why = Why::noQsoThere;
        v.removed = true;
    }

    // The worked call sent no log: a close call's log may hold the QSO, or the
    // call may be in fewer logs than the rules credit.
    void NoLog(std::uint32_t l, std::uint32_t i, const std::vector<std::uint32_t>& workedBy,
               const std::unordered_map<std::uint32_t, std::vector<Ref>>& unmatchedByCall, QsoCheck& v) const {
        const StationLog& log = logs_.logs[l];
        const CheckQso& q = log.qsos[i];
        v.why = Why::noLogThere;
        if (Known(q.call)) return;
        if (const auto owner = Owner(unmatchedByCall, log.callId, l, q, -1)) return BustedCall(q, *owner, v);
        const auto logsWithIt = static_cast<int>(workedBy[q.call]);
        const int from = d_.noLogCreditedFrom;
        if (from == 0) {
            v.verdict = Verdict::unique;
            v.why = Why::noLogNotCredited;
            v.removed = true;
        } else if (logsWithIt < std::max(from, 2)) {
            // A call in one log only is flagged even where every station counts.
            v.verdict = Verdict::unique;
            v.why = logsWithIt == 1 ? Why::nobodyElse : Why::fewLogs;
            v.otherQso = logsWithIt;
            v.removed = from > 1;
        }
    }

    // Where the rules take a QSO from both sides for one side's error, the
    // other side loses it too. Judged from the verdicts of each QSO on its own.
    void BothSides() {
        if (d_.bustedCall == Loser::oneSide && d_.bustedExchange == Loser::oneSide && d_.outsidePeriod == Loser::oneSide)
            return;
        const std::size_t n = logs_.logs.size();
        std::vector<std::vector<QsoCheck>> changed(n);
        ParallelFor(n, [&](std::size_t l) {
            const LogCheck& c = result_.logs[l];
            changed[l] = c.qsos;
            for (std::size_t i = 0; i < c.qsos.size(); ++i) {
                const QsoCheck& v = c.qsos[i];
                QsoCheck& out = changed[l][i];
                if (v.why != Why::matched && v.why != Why::fieldsDiffer && v.why != Why::theyBustedYou) continue;
                const QsoCheck& theirs =
                    result_.logs[static_cast<std::size_t>(v.otherLog)].qsos[static_cast<std::size_t>(v.otherQso)];
                if (v.why == Why::theyBustedYou && d_.bustedCall == Loser::bothSides) {
                    out.verdict = Verdict::bustedCall;
                    out.why = Why::theyBustedYourCall;
                    out.removed = true;
                } else if (theirs.verdict == Verdict::outsidePeriod && d_.outsidePeriod == Loser::bothSides) {
                    out.verdict = Verdict::outsidePeriod;
                    out.why = Why::theirsOutside;
                    out.removed = true;
                } else if (v.verdict == Verdict::ok && theirs.why == Why::fieldsDiffer &&
                           d_.bustedExchange == Loser::bothSides) {
                    out.verdict = Verdict::bustedExchange;
                    out.why = Why::theyMiscopiedYou;
                    out.wrongFields = theirs.wrongFields;
                    out.shiftedFields = theirs.shiftedFields;
                    out.removed = theirs.removed;
                }
            }
        });
        for (std::size_t l = 0; l < n; ++l) result_.logs[l].qsos = std::move(changed[l]);
    }

    // Verdicts that keep the QSO in the checked score.
    static bool Credited(const QsoCheck& v) { return !v.removed && v.verdict != Verdict::dupe; }
    // Lines that are QSOs with the station in the rules' eyes, whatever their errors.
    static bool Counts(const QsoCheck& v) {
        return v.verdict != Verdict::outsidePeriod && v.verdict != Verdict::wrongBand && v.verdict != Verdict::wrongMode &&
               v.why != Why::noNumber;
    }

    // The dupe rule over a log's lines in order: after a credited QSO with a
    // station, its repeats in the rule's scope are dupes (until the rule lets one
    // count again). A line the other log lacks beside a credited one is that
    // QSO's double and costs nothing: the confirmed line is the QSO.
    void Dupes(std::size_t l) {
        if (d_.dupes == DupeScope::none) return;
        const StationLog& log = logs_.logs[l];
        LogCheck& c = result_.logs[l];
        const bool byMode = !d_.pluginRules && d_.dupes == DupeScope::bandMode;
        const auto key = [&](const CheckQso& q) {
            return (std::uint64_t{q.call} << 32) | (std::uint64_t{q.band} << 16) | (byMode ? q.mode : 0u);
        };
        const auto minute = [&](std::uint32_t i) { return Corrected(static_cast<std::uint32_t>(l), log.qsos[i]); };
        const auto within = [&](std::uint32_t a, std::uint32_t b) {
            return d_.repeatAfter == 0 || std::abs(minute(a) - minute(b)) < d_.repeatAfter;
        };
        // The plug-in judges dupes in log order; a definition by the clock.
        std::vector<std::uint32_t> order;
        if (d_.pluginRules) {
            order.resize(log.qsos.size());
            for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
        }
        const auto& walk = d_.pluginRules ? order : byTime_[l];
        std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> credited;  // by scope, in order
        for (const std::uint32_t i : walk) {
            QsoCheck& v = c.qsos[i];
            if (!Counts(v)) continue;
            auto& earlier = credited[key(log.qsos[i])];
            if (!earlier.empty() && within(earlier.back(), i)) {
                MarkDupe(v, Why::dupeOf, l, earlier.back());
            } else if (Credited(v)) {
                earlier.push_back(i);
            }
        }
        for (const std::uint32_t i : walk) {
            QsoCheck& v = c.qsos[i];
            if (v.verdict != Verdict::nil) continue;
            const auto it = credited.find(key(log.qsos[i]));
            if (it == credited.end()) continue;
            for (const std::uint32_t j : it->second)
                if (within(i, j)) {
                    MarkDupe(v, Why::confirmedDupeOf, l, j);
                    break;
                }
        }
    }

    static void MarkDupe(QsoCheck& v, Why why, std::size_t log, std::uint32_t of) {
        const std::int32_t points = v.points;
        v = QsoCheck{};
        v.verdict = Verdict::dupe;
        v.why = why;
        v.otherLog = static_cast<std::int32_t>(log);
        v.otherQso = static_cast<std::int32_t>(of);
        v.points = points;
    }

    // Claimed against checked: the plug-in's rule code again without the lines
    // that do not count, or the definition's score of what each QSO is credited.
    void Rescore(std::size_t l) {
        const StationLog& log = logs_.logs[l];
        LogCheck& c = result_.logs[l];
        int penalty = 0, errors = 0;
        for (const QsoCheck& v : c.qsos) {
            if ((v.verdict == Verdict::nil || v.why == Why::closeCallLogged) && v.verdict != Verdict::dupe)
                penalty += d_.penalty * v.points;
            if (v.verdict == Verdict::nil || v.verdict == Verdict::bustedCall || v.verdict == Verdict::bustedExchange ||
                v.verdict == Verdict::unique)
                ++errors;
        }
        if (d_.pluginRules) {
            std::vector<bool> handed(log.qsos.size());
            bool all = true;
            for (std::size_t i = 0; i < log.qsos.size(); ++i) {
                handed[i] = inPeriod_[l][i] && Credited(c.qsos[i]);
                all = all && (handed[i] || !inPeriod_[l][i]);
            }
            if (all) {
                c.checked = c.claimed;
                for (QsoCheck& v : c.qsos) v.checkedPoints = v.points;
            } else {
                const StationScore checked = ScoreStation(logs_, log, calls_, handed, d_.modes, plugin_);
                c.checked = checked.figures;
                for (std::size_t i = 0; i < log.qsos.size(); ++i) c.qsos[i].checkedPoints = checked.points[i];
            }
        } else {
            DefinitionScores(l);
        }
        c.penaltyPoints = penalty;
        if (penalty > 0) {
            const int points = std::max(0, c.checked.points - penalty);
            c.checked.score = d_.pluginRules ? ClaimedScore(points, c.checked.multipliers, 0)
                                             : DefinitionScoreOf(d_, points, c.checked.multipliers);
        }
        const std::size_t counted = log.qsos.size() - static_cast<std::size_t>(std::count_if(
                                                          c.qsos.begin(), c.qsos.end(), [](const QsoCheck& v) {
                                                              return v.verdict == Verdict::outsidePeriod;
                                                          }));
        c.errorRate = counted ? 100.0 * errors / static_cast<double>(counted) : 0;
    }

    // The claimed score takes every line the rules accept, the log's own repeats
    // as dupes; the checked score what the cross-check credits, at its points.
    void DefinitionScores(std::size_t l) {
        const StationLog& log = logs_.logs[l];
        LogCheck& c = result_.logs[l];
        std::vector<QsoCredit> claimed(log.qsos.size()), checked(log.qsos.size());
        std::unordered_map<std::uint64_t, std::int32_t> last;  // scope: minute of the QSO that counts
        int dupes = 0;
        const bool byMode = d_.dupes == DupeScope::bandMode;
        for (const std::uint32_t i : byTime_[l]) {
            const CheckQso& q = log.qsos[i];
            QsoCheck& v = c.qsos[i];
            const bool accepted = inPeriod_[l][i] && verdicts_[l][i] == IntakeVerdict::accepted &&
                                  v.why != Why::outsideSegment && v.why != Why::rule;
            const std::int32_t full = FullPoints(d_, logs_, log, q, calls_);
            if (accepted) {
                bool dupe = false;
                if (d_.dupes != DupeScope::none) {
                    const std::uint64_t k = (std::uint64_t{q.call} << 32) | (std::uint64_t{q.band} << 16) | (byMode ? q.mode : 0u);
                    const std::int32_t minute = Corrected(static_cast<std::uint32_t>(l), q);
                    const auto it = last.find(k);
                    dupe = it != last.end() && (d_.repeatAfter == 0 || minute - it->second < d_.repeatAfter);
                    if (!dupe) last[k] = minute;
                }
                claimed[i] = {!dupe, dupe ? 0 : full, 0};
                dupes += dupe;
            }
            v.points = claimed[i].points;
            if (!Credited(v) || !Counts(v)) continue;
            std::int32_t points = full;
            if (v.verdict == Verdict::bustedExchange) points = d_.oneFieldWrongPoints;
            else if (v.why == Why::noLogThere && d_.noLogPoints >= 0) points = d_.noLogPoints;
            checked[i] = {true, points, v.wrongFields};
            v.checkedPoints = points;
        }
        c.claimed = DefinitionScore(d_, logs_, log, calls_, claimed);
        c.checked = DefinitionScore(d_, logs_, log, calls_, checked);
        c.claimed.dupes = dupes;
    }

    const ContestLogs& logs_;
    const CheckSettings& s_;
    const ContestDefinition& d_;
    const std::vector<ExchangeField> fields_;
    const ValueKeys keys_;
    PluginExchange plugin_;
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
