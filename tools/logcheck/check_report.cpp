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

std::string Minute(std::int32_t minute) { return FormatTime({minute / 1440.0, DateTimeStatus::valid}, "%Y-%m-%d %H%M"); }

std::string Signed(int minutes) { return (minutes > 0 ? "+" : "") + std::to_string(minutes); }

std::string Percent(double p) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", p);
    return text;
}

std::string Join(const std::vector<std::string>& items, const char* between) {
    std::string text;
    for (const auto& i : items) text += (text.empty() ? "" : between) + i;
    return text;
}

const StationLog& OtherLog(const ContestLogs& logs, const QsoCheck& v) {
    return logs.logs[static_cast<std::size_t>(v.otherLog)];
}
const CheckQso& OtherQso(const ContestLogs& logs, const QsoCheck& v) {
    return OtherLog(logs, v).qsos[static_cast<std::size_t>(v.otherQso)];
}

// "SM5XYZ's line 12: "QSO: ..."" and the offset applied to that log.
std::string Quote(const ContestLogs& logs, const QsoCheck& v) {
    const StationLog& other = OtherLog(logs, v);
    const CheckQso& o = OtherQso(logs, v);
    std::string text = other.call + "'s line " + std::to_string(o.line) + ": \"" + std::string(other.Line(o)) + "\"";
    if (v.otherOffset != 0) text += " (their clock " + Signed(v.otherOffset) + " min, corrected)";
    return text;
}

std::string Apart(const QsoCheck& v) {
    if (v.shift) return "letters/figures shift";
    return std::to_string(v.distance) + (v.distance == 1 ? " character" : " characters") + " apart";
}

// Each wrong field as "county: you copied HR as SR", from what `copier` logged
// received and `sender` logged sent.
std::string WrongFields(const ContestLogs& logs, const CheckSettings& settings, const QsoCheck& v,
                        const CheckQso& copier, const CheckQso& sender, const std::string& who) {
    const auto fields = settings.contest.Fields();
    std::vector<std::string> items;
    for (std::size_t f = 0; f < fields.size(); ++f) {
        if (!(v.wrongFields >> f & 1)) continue;
        const std::string& rcvd = logs.values.Text(copier.rcvd[f]);
        const std::string& sent = logs.values.Text(sender.sent[f]);
        std::string item = fields[f].name + ": " + who + " " + sent + " as " + (rcvd.empty() ? "nothing" : rcvd);
        if (v.shiftedFields >> f & 1) item += " (" + rcvd + " reads " + sent + " through the letters/figures shift)";
        items.push_back(std::move(item));
    }
    return Join(items, "; ");
}

std::string Modes(const std::vector<std::string>& modes) { return modes.empty() ? "" : " (" + Join(modes, ", ") + ")"; }

std::string Points(int points) { return std::to_string(points) + (points == 1 ? " point" : " points"); }

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

// Per verdict class, the QSOs that lost and the points they lost: their claimed points
// less their checked ones. A dupe costs nothing: where the other log confirms
// the later of two lines, the points only move to it.
struct Loss {
    int qsos[kVerdictCount] = {};
    int points[kVerdictCount] = {};
};

Loss LossOf(const LogCheck& c) {
    Loss loss;
    for (const QsoCheck& v : c.qsos) {
        const bool reducedNoLog = v.why == Why::noLogThere && v.checkedPoints < v.points;
        if (v.verdict == Verdict::ok && !reducedNoLog) continue;
        ++loss.qsos[static_cast<int>(v.verdict)];
        if (v.verdict != Verdict::dupe) loss.points[static_cast<int>(v.verdict)] += v.points - v.checkedPoints;
    }
    return loss;
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
        case Why::theyBustedYou: {
            std::string text = call + " logged this QSO with your call as " + logs.calls.Text(OtherQso(logs, v).call) +
                               " (" + Apart(v) + "), counted for you";
            if (v.wrongFields) text = WrongFields(logs, settings, v, q, OtherQso(logs, v), "you copied") + "; " + text;
            return text + ": " + Quote(logs, v);
        }
        case Why::theyBustedYourCall:
            return call + " logged this QSO with your call as " + logs.calls.Text(OtherQso(logs, v).call) + " (" +
                   Apart(v) + "), which costs both sides the QSO: " + Quote(logs, v);
        case Why::noQsoThere:
            return call + "'s log holds no QSO with " + me.call + " on " + band + " within " +
                   std::to_string(settings.windowMinutes) + " min of " + When(q) + " (clocks corrected: yours " +
                   Signed(result.logs[log].offset) + " min, theirs " + Signed(v.otherOffset) + " min)";
        case Why::closeCallLogged:
            return call + " sent no log and is not in MASTER.SCP; " + OtherLog(logs, v).call + " (" + Apart(v) +
                   ") logged you then: " + Quote(logs, v);
        case Why::nobodyElse:
            return call + " is in no other log" + std::string(settings.scp ? " and not in MASTER.SCP" : "");
        case Why::fewLogs:
            return call + " sent no log and is in " + std::to_string(v.otherQso) + " logs; the rules credit such a station from " +
                   std::to_string(settings.contest.noLogCreditedFrom);
        case Why::noLogNotCredited: return call + " sent no log";
        case Why::fieldsDiffer:
            return WrongFields(logs, settings, v, q, OtherQso(logs, v), "you copied") + ": " + Quote(logs, v);
        case Why::theyMiscopiedYou:
            return WrongFields(logs, settings, v, OtherQso(logs, v), q, call + " copied your") +
                   ", which costs both sides the QSO: " + Quote(logs, v);
        case Why::noNumber: return "no number sent or received: the plug-in rejects it";
        case Why::dupeOf:
        case Why::confirmedDupeOf: {
            const CheckQso& first = me.qsos[static_cast<std::size_t>(v.otherQso)];
            std::string text = "dupe of line " + std::to_string(first.line);
            if (v.why == Why::confirmedDupeOf) text += ", the QSO " + call + "'s log confirms";
            if (settings.contest.repeatAfter > 0)
                text += ", " + std::to_string(std::abs(q.minute - first.minute)) + " min apart";
            return text;
        }
        case Why::rule:
            if (v.verdict == Verdict::outsidePeriod) return When(q) + " is outside the contest period";
            if (v.verdict == Verdict::wrongBand) return "band " + band + " is not a contest band";
            return "mode " + logs.modes.Text(q.mode) + " is not the contest's";
        case Why::outsideSegment:
            return std::to_string(q.freqKHz) + " kHz is outside " + band + "'s segments for " + logs.modes.Text(q.mode);
        case Why::theirsOutside:
            return call + " logged it at " + When(OtherQso(logs, v)) +
                   ", outside the contest period, which costs both sides the QSO: " + Quote(logs, v);
    }
    return "";
}

std::string RuleText(const CheckSettings& settings, const QsoCheck& v) {
    const ContestDefinition& d = settings.contest;
    const std::string plugin = "the plug-in's rule code: ";
    switch (v.why) {
        case Why::matched:
        case Why::noLogThere:
            if (v.verdict != Verdict::ok) break;
            if (v.checkedPoints != v.points && v.why == Why::noLogThere)
                return "no_log: a station without a log, in enough logs, scores " + Points(d.noLogPoints);
            return "";
        case Why::theyBustedYou:
            if (v.verdict == Verdict::bustedExchange) break;
            return "errors.busted_call = buster: the station that busted the call loses the QSO";
        case Why::theyBustedYourCall: return "errors.busted_call = both: a busted call costs both sides the QSO";
        case Why::noQsoThere: return "a QSO must be in the other station's log";
        case Why::closeCallLogged: return "a busted call costs the QSO";
        case Why::nobodyElse:
            return d.noLogCreditedFrom <= 1 ? "a call in no other log is flagged and kept"
                                             : "no_log.credited_from = " + std::to_string(d.noLogCreditedFrom) +
                                                   ": a station without a log counts from that many logs";
        case Why::fewLogs:
            return "no_log.credited_from = " + std::to_string(d.noLogCreditedFrom) +
                   ": a station without a log counts from that many logs";
        case Why::noLogNotCredited: return "no_log.credited_from = never: a station without a log never counts";
        default: break;
    }
    switch (v.verdict == Verdict::bustedExchange && v.why == Why::theyBustedYou ? Why::fieldsDiffer : v.why) {
        case Why::fieldsDiffer:
        case Why::theyMiscopiedYou: {
            std::vector<std::string> checked;
            for (const auto& f : d.Fields())
                if (f.checked) checked.push_back(f.name);
            std::string text = (v.why == Why::theyMiscopiedYou ? "errors.busted_exchange = both: " : "") +
                               std::string("the checked fields (") + Join(checked, ", ") +
                               ") must be what the other station sent";
            if (!v.removed) text += "; points.reduced.one_field_wrong: one wrong field scores " + Points(v.checkedPoints);
            return text;
        }
        case Why::noNumber: return plugin + "a QSO needs both numbers";
        case Why::dupeOf:
        case Why::confirmedDupeOf: {
            if (d.pluginRules) return plugin + "one QSO with a station per band; a repeat scores nothing";
            std::string text = std::string("dupes.per = ") + (d.dupes == DupeScope::bandMode ? "band-mode" : "band") +
                               ": one QSO with a station per band" + (d.dupes == DupeScope::bandMode ? " and mode" : "");
            if (d.repeatAfter > 0)
                text += ", again " + std::to_string(d.repeatAfter) + " min after the last that counts (dupes.repeat_after)";
            return text + "; a repeat scores nothing";
        }
        case Why::rule:
            if (v.verdict == Verdict::outsidePeriod) {
                std::vector<std::string> periods;
                for (const Period& p : d.periods)
                    periods.push_back(Minute(p.first) + " to " + Minute(p.last) + Modes(p.modes));
                return "period: " + Join(periods, ", ");
            }
            if (v.verdict == Verdict::wrongBand) return d.pluginRules ? plugin + "160m to 10m" : "bands: " + Join(d.bands, ", ");
            return "modes: " + Join(d.modes, ", ");
        case Why::outsideSegment: return "segment: the band's segments for the mode";
        case Why::theirsOutside: return "errors.outside_period = both: a QSO outside the period in either log costs both sides";
        default: break;
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
    out += "Contest: " + settings.contest.name + "\r\n";
    out += "Category: " + CategoryOf(log) + "\r\n\r\n";
    char row[160];
    std::snprintf(row, sizeof row, "%-9s %7s %7s %6s %12s\r\n", "", "QSOs", "Points", "Mults", "Score");
    out += row;
    for (const auto& [name, f] : {std::pair<const char*, const ScoreFigures&>{"Claimed", c.claimed},
                                  std::pair<const char*, const ScoreFigures&>{"Checked", c.checked}}) {
        std::snprintf(row, sizeof row, "%-9s %7d %7d %6d %12lld\r\n", name, f.qsos, f.points, f.multipliers,
                      static_cast<long long>(f.score));
        out += row;
    }
    if (c.penaltyPoints > 0)
        out += "Penalty: " + std::to_string(c.penaltyPoints) + " points for NIL and busted calls (" +
               std::to_string(settings.contest.penalty) + " times their points)\r\n";
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

    const Loss loss = LossOf(c);
    std::string lost;
    for (int v = 0; v < kVerdictCount; ++v) {
        if (loss.qsos[v] == 0) continue;
        std::snprintf(row, sizeof row, "  %-16s %6d %7d\r\n", VerdictName(static_cast<Verdict>(v)), loss.qsos[v],
                      loss.points[v]);
        lost += row;
    }
    if (!lost.empty()) {
        std::snprintf(row, sizeof row, "\r\nLost by class      %6s %7s\r\n", "QSOs", "Points");
        out += row + lost;
    }

    enum Part { removed, reduced, flagged };
    for (const Part part : {removed, reduced, flagged}) {
        std::string text;
        for (std::size_t i = 0; i < log.qsos.size(); ++i) {
            const QsoCheck& v = c.qsos[i];
            if (v.verdict == Verdict::ok && !(v.why == Why::noLogThere && v.checkedPoints < v.points)) continue;
            const Part is = v.removed ? removed : v.verdict != Verdict::dupe && v.checkedPoints < v.points ? reduced : flagged;
            if (is != part) continue;
            text += "  line " + std::to_string(log.qsos[i].line) + ": " + std::string(log.Line(log.qsos[i])) + "\r\n";
            text += "    " + std::string(VerdictName(v.verdict)) + ": " + EvidenceText(logs, result, settings, l, i) + "\r\n";
            if (const std::string rule = RuleText(settings, v); !rule.empty()) text += "    rule: " + rule + "\r\n";
        }
        if (text.empty()) continue;
        out += part == removed   ? "\r\nRemoved QSOs\r\n"
               : part == reduced ? "\r\nQSOs at reduced points\r\n"
                                 : "\r\nFlagged QSOs (kept as the rules judge them)\r\n";
        out += text;
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
            const QsoCheck& v = result.logs[l].qsos[i];
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
            out += VerdictName(v.verdict);
            out += ',';
            out += CsvField(EvidenceText(logs, result, settings, l, i));
            out += ',';
            out += std::to_string(v.points);
            out += ',';
            out += std::to_string(v.checkedPoints);
            out += ',';
            out += CsvField(RuleText(settings, v));
            out += "\r\n";
        }
    });
    std::string out = "log,line,call,band,time,verdict,evidence,claimed points,checked points,rule\r\n";
    std::size_t size = out.size();
    for (const auto& p : parts) size += p.size();
    out.reserve(size);
    for (const auto& p : parts) out += p;
    return out;
}

std::string ResultsCsv(const ContestLogs& logs, const CheckResult& result) {
    std::string out = "category,rank,call,claimed score,checked score,claimed qsos,checked qsos,error rate,"
                      "clock offset,claimed points,checked points";
    for (int v = 0; v < kVerdictCount; ++v) out += std::string(",points lost ") + VerdictName(static_cast<Verdict>(v));
    out += "\r\n";
    for (const Ranked& r : Ranking(logs, result)) {
        const LogCheck& c = result.logs[r.log];
        out += CsvField(r.category) + ',' + std::to_string(r.rank) + ',' + CsvField(logs.logs[r.log].call) + ',' +
               std::to_string(c.claimed.score) + ',' + std::to_string(c.checked.score) + ',' +
               std::to_string(c.claimed.qsos) + ',' + std::to_string(c.checked.qsos) + ',' + Percent(c.errorRate) +
               ',' + std::to_string(c.offset) + ',' + std::to_string(c.claimed.points) + ',' +
               std::to_string(c.checked.points);
        const Loss loss = LossOf(c);
        for (int v = 0; v < kVerdictCount; ++v) out += ',' + std::to_string(loss.points[v]);
        out += "\r\n";
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
                   "checked</th><th>Error rate %</th><th>Points lost by class</th></tr>\n";
        }
        const LogCheck& c = result.logs[r.log];
        const Loss loss = LossOf(c);
        std::vector<std::string> lost;
        for (int v = 0; v < kVerdictCount; ++v)
            if (loss.points[v] != 0) lost.push_back(std::string(VerdictName(static_cast<Verdict>(v))) + " " + std::to_string(loss.points[v]));
        out += "<tr><td class=\"n\">" + std::to_string(r.rank) + "</td><td>" + HtmlText(logs.logs[r.log].call) +
               "</td><td class=\"n\">" + std::to_string(c.claimed.score) + "</td><td class=\"n\">" +
               std::to_string(c.checked.score) + "</td><td class=\"n\">" + std::to_string(c.checked.qsos) +
               "</td><td class=\"n\">" + Percent(c.errorRate) + "</td><td>" + HtmlText(Join(lost, ", ")) + "</td></tr>\n";
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
