#include "log_checks.h"

#include <map>
#include <set>
#include <sstream>

namespace {

FlaggedQso Flag(const LogQso& q, std::string note) { return {q.record, q.time, q.band, q.call, std::move(note)}; }

// A call with a portable designator is known when one of its parts is ("DL/OH2BH").
bool Known(const std::unordered_set<std::string>& scp, const std::string& call) {
    if (scp.count(call)) return true;
    std::istringstream parts(call);
    for (std::string part; std::getline(parts, part, '/');)
        if (part.size() >= 3 && scp.count(part)) return true;
    return false;
}

}  // namespace

std::unordered_set<std::string> ReadMasterScp(std::string_view text) {
    std::unordered_set<std::string> calls;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string call = ToUpper(Trim(text.substr(at, end - at)));
        if (!call.empty() && call[0] != '#') calls.insert(call);
        at = end + 1;
    }
    return calls;
}

std::string FiguresReading(std::string_view exchange) {
    static constexpr std::string_view kLettersRow = "QWERTYUIOP";
    std::string figures;
    for (char c : ToUpper(exchange)) {
        const auto at = kLettersRow.find(c);
        if (at != std::string_view::npos) figures += static_cast<char>('0' + (at + 1) % 10);
        else if (c >= '0' && c <= '9') figures += c;
        else return "";
    }
    return IsDigits(figures, 4) ? figures : "";
}

LogChecks CheckLog(const ReplayPlan& plan, const Ledger& ledger, const std::unordered_set<std::string>* masterScp) {
    LogChecks checks;
    std::map<std::string, std::set<std::string>> numbersOfCall;  // counted QSOs only
    std::map<std::string, int> timesInLog;
    std::map<int, const LogQso*> byRecord;
    for (const auto& row : ledger.rows) {
        const LogQso& q = *row.qso;
        ++timesInLog[q.call];
        byRecord[q.record] = &q;
        if (row.verdict == LedgerVerdict::counted) numbersOfCall[q.call].insert(q.exchRcvd);
    }
    for (const auto& q : plan.outsidePeriod) ++timesInLog[q.call];

    for (const auto& row : ledger.rows) {
        const LogQso& q = *row.qso;
        if (row.verdict == LedgerVerdict::counted && numbersOfCall[q.call].size() > 1)
            checks.differentNumbers.push_back(Flag(q, "received " + q.exchRcvd));
        if (!q.exchRcvd.empty() && !IsDigits(q.exchRcvd, 4)) {
            const std::string figures = FiguresReading(q.exchRcvd);
            checks.notFourDigits.push_back(
                Flag(q, "received \"" + Printable(q.exchRcvd) + "\"" +
                            (figures.empty() ? std::string() : ", reads " + figures + " on figures")));
        }
        if (row.verdict == LedgerVerdict::dupe) {
            std::string note = "dupe of record " + std::to_string(row.dupeOf);
            if (const auto it = byRecord.find(row.dupeOf); it != byRecord.end())
                note += " (" + FormatTime(it->second->time, "%Y-%m-%d %H%M") + ", received " + it->second->exchRcvd + ")";
            checks.dupes.push_back(Flag(q, note));
        }
        if (masterScp && timesInLog[q.call] == 1 && !Known(*masterScp, q.call))
            checks.uniques.push_back(Flag(q, "once in the log, not in MASTER.SCP: check it"));
    }
    checks.uniquesChecked = masterScp != nullptr;
    for (const auto& q : plan.outsidePeriod)
        checks.outsidePeriod.push_back(Flag(q, "outside " + FormatTime(plan.start, "%Y-%m-%d %H%M") + " to " +
                                                   FormatTime(plan.end, "%Y-%m-%d %H%M")));
    return checks;
}
