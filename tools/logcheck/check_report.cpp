#include "check_report.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "base/date_time.h"
#include "base/html_text.h"
#include "logs/csv_field.h"
#include "parallel.h"
#include "logs/text.h"

namespace {

std::string When(const CheckQso& q) { return FormatTime(q.time, "%Y-%m-%d %H%M"); }

std::string Signed(int minutes) { return (minutes > 0 ? "+" : "") + std::to_string(minutes); }

std::string Percent(double p) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", p);
    return text;
}

// "line 12 of SM5XYZ's log: QSO: ..." and the offset applied to that log.
std::string Quote(const ContestLogs& logs, const QsoCheck& v) {
    const StationLog& other = logs.logs[static_cast<std::size_t>(v.otherLog)];
    const CheckQso& o = other.qsos[static_cast<std::size_t>(v.otherQso)];
    std::string text = other.call + "'s line " + std::to_string(o.line) + ": \"" + std::string(other.Line(o)) + "\"";
    if (v.otherOffset != 0) text += " (their clock " + Signed(v.otherOffset) + " min, corrected)";
    return text;
}

std::string Apart(const QsoCheck& v) {
    if (v.shift) return "letters/figures shift";
    return std::to_string(v.distance) + (v.distance == 1 ? " character" : " characters") + " apart";
}

struct Ranked {
    std::size_t log;
    std::string category;
    int rank = 0;
};

std::vector<Ranked> Ranking(const ContestLogs& logs, const CheckResult& result) {
    std::vector<Ranked> rows;
    for (std::size_t l = 0; l < logs.logs.size(); ++l) rows.push_back({l, CategoryOf(logs.logs[l])});
    std::stable_sort(rows.begin(), rows.end(), [&](const Ranked& a, const Ranked& b) {
        if (a.category != b.category) return a.category < b.category;
        return result.logs[a.log].checked.score > result.logs[b.log].checked.score;
    });
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i].rank = i > 0 && rows[i - 1].category == rows[i].category ? rows[i - 1].rank + 1 : 1;
    return rows;
}

}  // namespace

std::string CategoryOf(const StationLog& log) {
    std::string text;
    for (const auto& [tag, value] : log.header)
        if ((tag == "CATEGORY" || tag.rfind("CATEGORY-", 0) == 0) && !value.empty()) text += (text.empty() ? "" : " ") + ToUpper(value);
    return text.empty() ? "(no category)" : text;
}

std::string EvidenceText(const ContestLogs& logs, const CheckResult& result, const CheckSettings& settings,
                         std::size_t log, std::size_t qso) {
    const StationLog& me = logs.logs[log];
    const CheckQso& q = me.qsos[qso];
    const QsoCheck& v = result.logs[log].qsos[qso];
    const std::string& call = logs.calls.Text(q.call);
    const std::string band = logs.bands.Text(q.band);
    switch (v.why) {
        case Why::matched: return "";
        case Why::noLogThere: return "";
        case Why::theyBustedYou:
            return call + " logged this QSO with your call as " +
                   logs.calls.Text(logs.logs[static_cast<std::size_t>(v.otherLog)]
                                       .qsos[static_cast<std::size_t>(v.otherQso)]
                                       .call) +
                   " (" + Apart(v) + "), counted for you: " + Quote(logs, v);
        case Why::noQsoThere:
            return call + "'s log holds no QSO with " + me.call + " on " + band + " within " +
                   std::to_string(settings.windowMinutes) + " min of " + When(q) + " (clocks corrected: yours " +
                   Signed(result.logs[log].offset) + " min, theirs " + Signed(v.otherOffset) + " min)";
        case Why::closeCallLogged:
            return call + " sent no log and is not in MASTER.SCP; " +
                   logs.logs[static_cast<std::size_t>(v.otherLog)].call + " (" + Apart(v) + ") logged you then: " +
                   Quote(logs, v);
        case Why::nobodyElse:
            return call + " is in no other log" + std::string(settings.scp ? " and not in MASTER.SCP" : "");
        case Why::numberDiffers: {
            const CheckQso& o =
                logs.logs[static_cast<std::size_t>(v.otherLog)].qsos[static_cast<std::size_t>(v.otherQso)];
            std::string text = "received " + q.rcvd + ", " + call + " sent " + o.sent;
            if (v.shift) text += " (" + q.rcvd + " reads " + o.sent + " through the letters/figures shift)";
            return text + ": " + Quote(logs, v);
        }
        case Why::noNumber: return "no number sent or received: the plug-in rejects it";
        case Why::dupeOf:
            return v.otherQso >= 0
                       ? "dupe of line " + std::to_string(me.qsos[static_cast<std::size_t>(v.otherQso)].line)
                       : "dupe";
        case Why::rule:
            if (v.verdict == Verdict::outsidePeriod) return When(q) + " is outside the contest period";
            if (v.verdict == Verdict::wrongBand) return "band " + band + " is not a contest band";
            return "mode " + logs.modes.Text(q.mode) + " is not the contest's";
    }
    return "";
}

std::string ReportName(const StationLog& log) {
    std::string name = log.call;
    for (char& c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-')) c = '_';
    return name + ".txt";
}

std::string CheckingReport(const ContestLogs& logs, const CheckResult& result, const CheckSettings& settings,
                           std::size_t l) {
    const StationLog& log = logs.logs[l];
    const LogCheck& c = result.logs[l];
    std::string out = "Checking report for " + log.call + " (" + log.file + ")\r\n";
    out += "Category: " + CategoryOf(log) + "\r\n\r\n";
    char row[160];
    std::snprintf(row, sizeof row, "%-9s %7s %7s %6s %12s\r\n", "", "QSOs", "Points", "Mults", "Score");
    out += row;
    for (const auto& [name, f] : {std::pair<const char*, const ScoreFigures&>{"Claimed", c.claimed},
                                  std::pair<const char*, const ScoreFigures&>{"Checked", c.checked}}) {
        std::snprintf(row, sizeof row, "%-9s %7d %7d %6d %12lld\r\n", name, f.qsos, f.points,
                      f.exchangeMults + f.prefixMults, static_cast<long long>(f.score));
        out += row;
    }
    if (c.penaltyPoints > 0)
        out += "Penalty: " + std::to_string(c.penaltyPoints) + " points for NIL and busted calls (" +
               std::to_string(settings.penalty) + " times their points)\r\n";
    out += "\r\nClock: ";
    if (c.sureMatches < settings.minSureMatches)
        out += "not estimated, " + std::to_string(c.sureMatches) + " sure matches are too few\r\n";
    else if (c.offset == 0)
        out += "right (from " + std::to_string(c.sureMatches) + " sure matches)\r\n";
    else
        out += std::to_string(std::abs(c.offset)) + " min " + (c.offset > 0 ? "fast" : "slow") + ", corrected (from " +
               std::to_string(c.sureMatches) + " sure matches)\r\n";
    const auto n = [&c](Verdict v) { return std::to_string(c.counts[static_cast<int>(v)]); };
    out += "Error rate: " + Percent(c.errorRate) + " % of " + std::to_string(log.qsos.size()) + " QSOs: " +
           n(Verdict::nil) + " NIL, " + n(Verdict::bustedCall) + " busted calls, " + n(Verdict::bustedExchange) +
           " busted exchanges, " + n(Verdict::unique) + " uniques; " + n(Verdict::dupe) + " dupes, " +
           n(Verdict::outsidePeriod) + " outside the period, " + n(Verdict::wrongBand) + " on other bands, " +
           n(Verdict::wrongMode) + " in other modes\r\n";

    for (const bool removedPart : {true, false}) {
        std::string part;
        for (std::size_t i = 0; i < log.qsos.size(); ++i) {
            const Verdict v = c.qsos[i].verdict;
            if (v == Verdict::ok) continue;
            const bool removed = RemovedFromCheckedScore(v, settings.removeUniques);
            if (removed != removedPart) continue;
            part += "  line " + std::to_string(log.qsos[i].line) + ": " + std::string(log.Line(log.qsos[i])) + "\r\n";
            part += "    " + std::string(VerdictName(v)) + ": " + EvidenceText(logs, result, settings, l, i) + "\r\n";
        }
        if (part.empty()) continue;
        out += removedPart ? "\r\nRemoved QSOs\r\n" : "\r\nFlagged QSOs (kept as the plug-in judges them)\r\n";
        out += part;
    }
    if (!log.skipped.empty()) {
        out += "\r\nLines not read\r\n";
        for (const auto& s : log.skipped) out += "  line " + std::to_string(s.line) + ": " + s.reason + "\r\n";
    }
    return out;
}

std::string VerdictsCsv(const ContestLogs& logs, const CheckResult& result, const CheckSettings& settings) {
    std::vector<std::string> parts(logs.logs.size());
    ParallelFor(parts.size(), [&](std::size_t l) {
        const StationLog& log = logs.logs[l];
        std::string& out = parts[l];
        for (std::size_t i = 0; i < log.qsos.size(); ++i) {
            const CheckQso& q = log.qsos[i];
            out += CsvField(log.call);
            out += ',';
            out += std::to_string(q.line);
            out += ',';
            out += CsvField(logs.calls.Text(q.call));
            out += ',';
            out += CsvField(logs.bands.Text(q.band));
            out += ',';
            out += When(q);
            out += ',';
            out += VerdictName(result.logs[l].qsos[i].verdict);
            out += ',';
            out += CsvField(EvidenceText(logs, result, settings, l, i));
            out += "\r\n";
        }
    });
    std::string out = "log,line,call,band,time,verdict,evidence\r\n";
    std::size_t size = out.size();
    for (const auto& p : parts) size += p.size();
    out.reserve(size);
    for (const auto& p : parts) out += p;
    return out;
}

std::string ResultsCsv(const ContestLogs& logs, const CheckResult& result) {
    std::string out = "category,rank,call,claimed score,checked score,claimed qsos,checked qsos,error rate,"
                      "clock offset\r\n";
    for (const Ranked& r : Ranking(logs, result)) {
        const LogCheck& c = result.logs[r.log];
        out += CsvField(r.category) + ',' + std::to_string(r.rank) + ',' + CsvField(logs.logs[r.log].call) + ',' +
               std::to_string(c.claimed.score) + ',' + std::to_string(c.checked.score) + ',' +
               std::to_string(c.claimed.qsos) + ',' + std::to_string(c.checked.qsos) + ',' + Percent(c.errorRate) +
               ',' + std::to_string(c.offset) + "\r\n";
    }
    return out;
}

std::string ResultsHtml(const ContestLogs& logs, const CheckResult& result, const std::string& title) {
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" +
                      HtmlText(title) +
                      "</title>\n<style>body{font-family:sans-serif;margin:2em}table{border-collapse:collapse;"
                      "margin-bottom:2em}th,td{border:1px solid #999;padding:2px 8px}td.n{text-align:right}"
                      "th{background:#eef}</style></head><body>\n<h1>" +
                      HtmlText(title) + "</h1>\n";
    std::string category;
    for (const Ranked& r : Ranking(logs, result)) {
        if (r.category != category || r.rank == 1) {
            if (!category.empty()) out += "</table>\n";
            category = r.category;
            out += "<h2>" + HtmlText(category) +
                   "</h2>\n<table><tr><th>Rank</th><th>Call</th><th>Claimed</th><th>Checked</th><th>QSOs "
                   "checked</th><th>Error rate %</th></tr>\n";
        }
        const LogCheck& c = result.logs[r.log];
        out += "<tr><td class=\"n\">" + std::to_string(r.rank) + "</td><td>" + HtmlText(logs.logs[r.log].call) +
               "</td><td class=\"n\">" + std::to_string(c.claimed.score) + "</td><td class=\"n\">" +
               std::to_string(c.checked.score) + "</td><td class=\"n\">" + std::to_string(c.checked.qsos) +
               "</td><td class=\"n\">" + Percent(c.errorRate) + "</td></tr>\n";
    }
    if (!category.empty()) out += "</table>\n";
    return out + "</body></html>\n";
}

std::string ConsoleSummary(const ContestLogs& logs, const CheckResult& result) {
    std::size_t qsos = 0, skipped = 0;
    int offsets = 0;
    for (std::size_t l = 0; l < logs.logs.size(); ++l) {
        qsos += logs.logs[l].qsos.size();
        skipped += logs.logs[l].skipped.size();
        offsets += result.logs[l].offset != 0;
    }
    std::string out = std::to_string(logs.logs.size()) + " logs, " + std::to_string(qsos) + " QSOs checked";
    if (skipped) out += ", " + std::to_string(skipped) + " lines not read";
    if (!logs.refused.empty()) out += ", " + std::to_string(logs.refused.size()) + " files refused";
    out += "\n";
    for (int v = 0; v < kVerdictCount; ++v) {
        char row[64];
        std::snprintf(row, sizeof row, "  %-16s %d\n", VerdictName(static_cast<Verdict>(v)), result.counts[v]);
        out += row;
    }
    out += "  clocks corrected in " + std::to_string(offsets) + " logs\n";
    return out;
}
