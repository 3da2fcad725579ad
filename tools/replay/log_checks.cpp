#include "log_checks.h"

#include <map>
#include <set>

#include "logs/text.h"

namespace {

FlaggedQso Flag(const LogQso& q, std::string note) { return {q.record, q.time, q.band, q.call, std::move(note)}; }

}  // namespace

LogChecks CheckLog(const ReplayPlan& plan, const Ledger& ledger, const std::unordered_set<std::string>* masterScp) {
    LogChecks checks;
    std::map<std::string, std::set<std::string>> numbersOfCall;  // counted QSOs only
    std::map<std::string, int> timesInLog;
    std::map<int, const LogQso*> byRecord;
    for (const auto& row : ledger.rows) {
        const LogQso& q = *row.qso;
        ++timesInLog[q.call];
        byRecord[q.record] = &q;
        if (row.verdict == IntakeVerdict::accepted) numbersOfCall[q.call].insert(q.exchRcvd);
    }
    for (const auto& q : plan.outsidePeriod) ++timesInLog[q.call];

    for (const auto& row : ledger.rows) {
        const LogQso& q = *row.qso;
        if (row.verdict == IntakeVerdict::accepted && numbersOfCall[q.call].size() > 1)
            checks.differentNumbers.push_back(Flag(q, "received " + q.exchRcvd));
        if (!q.exchRcvd.empty() && !IsDigits(q.exchRcvd, 4)) {
            const std::string figures = FiguresReading(q.exchRcvd);
            checks.notFourDigits.push_back(
                Flag(q, "received \"" + Printable(q.exchRcvd) + "\"" +
                            (figures.empty() ? std::string() : ", reads " + figures + " on figures")));
        }
        if (row.verdict == IntakeVerdict::dupe) {
            std::string note = "dupe of record " + std::to_string(row.dupeOf);
            if (const auto it = byRecord.find(row.dupeOf); it != byRecord.end())
                note += " (" + FormatTime(it->second->time, "%Y-%m-%d %H%M") + ", received " + it->second->exchRcvd + ")";
            checks.dupes.push_back(Flag(q, note));
        }
        if (masterScp && timesInLog[q.call] == 1 && !KnownToScp(*masterScp, q.call))
            checks.uniques.push_back(Flag(q, "once in the log, not in MASTER.SCP: check it"));
    }
    checks.uniquesChecked = masterScp != nullptr;
    for (const auto& q : plan.outsidePeriod)
        checks.outsidePeriod.push_back(Flag(q, "outside " + FormatTime(plan.start, "%Y-%m-%d %H%M") + " to " +
                                                   FormatTime(plan.end, "%Y-%m-%d %H%M")));
    return checks;
}
