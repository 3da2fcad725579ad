#include "log_receipt.h"

#include "check_report.h"
#include "contest_config.h"
#include "logs/cty_dat.h"
#include "logs/text.h"
#include "pages.h"
#include "post_reader.h"
#include "server_limits.h"
#include "station_keys.h"
#include "web_text.h"

namespace {

// Minutes since 30 December 1899, as the check counts them.
std::int32_t CheckMinute(UtcSeconds t) { return static_cast<std::int32_t>(t / 60 + 25569LL * 1440); }

// A call a log may carry: what a post's call may be, with a letter and a figure,
// and '/' only between parts.
bool PossibleCall(const std::string& call) {
    if (call.empty() || call.front() == '/' || call.back() == '/' || call.find("//") != std::string::npos) return false;
    bool letter = false, figure = false;
    for (char c : call) {
        letter = letter || (c >= 'A' && c <= 'Z');
        figure = figure || (c >= '0' && c <= '9');
    }
    return letter && figure;
}

std::string Shown(std::string_view text) { return Printable(text.substr(0, 40)); }

}  // namespace

CheckSettings SettingsOf(const ContestConfig& config) {
    CheckSettings s;
    if (config.start || config.end) {
        Period p;
        if (config.start) p.first = CheckMinute(*config.start);
        if (config.end) p.last = CheckMinute(*config.end);
        s.contest.periods = {p};
    }
    s.contest.modes = config.contestModes;
    return s;
}

Receipt ReadReceipt(std::string_view bytes, const CountryFile& cty, const CheckSettings& settings) {
    Receipt r;
    r.sha256 = Sha256Hex(bytes);
    r.bytes = static_cast<std::int64_t>(bytes.size());
    ReadLog read = ReadStation("log", std::string(bytes), {});
    // The readers skip what they cannot read; a file with NUL bytes left after
    // any UTF-16 was decoded is no text at all.
    if (const auto nul = read.text.find('\0'); nul != std::string::npos)
        throw LogRefused(422, "the file is not a text log (a NUL byte at offset " + std::to_string(nul) + ")");
    if (!read.error.empty()) throw LogRefused(422, "the file is not a log: " + read.error);
    // A Cabrillo log names its station in its header; an ADIF one in its records.
    std::string raw;
    bool cabrillo = false;
    for (const auto& [tag, value] : read.header) {
        if (tag == "CALLSIGN") raw = value;
        cabrillo = cabrillo || tag == "START-OF-LOG";
    }
    if (!cabrillo) raw = read.read.stationCall;
    raw = Trim(raw);
    if (raw.empty())
        throw LogRefused(422, cabrillo ? "the log names no station: its header has no CALLSIGN: line"
                                       : "the log names no station: no record has a STATION_CALLSIGN");
    const std::string call = NormalizedCall(raw);
    if (call.empty() || !PossibleCall(call))
        throw LogRefused(422, "the log's CALLSIGN \"" + Shown(raw) + "\" is not a call: " +
                                  std::to_string(limits::kMinCallBytes) + " to " + std::to_string(limits::kMaxCallBytes) +
                                  " letters and figures, parts parted by /");
    read.read.stationCall = call;
    for (const auto& [tag, value] : read.header)
        if (tag == "CLAIMED-SCORE") r.claimedLine = Printable(value.substr(0, 40));

    ContestLogs logs;
    AddLog(logs, std::move(read));
    if (logs.logs.empty()) throw LogRefused(422, "the file is not a log: " + logs.refused.front().second);
    const StationLog& log = logs.logs.front();
    r.call = log.call;
    r.category = CategoryOf(log);
    r.qsos = static_cast<std::int64_t>(log.qsos.size());
    r.skippedCount = static_cast<std::int64_t>(log.skipped.size());
    for (const SkippedRecord& s : log.skipped) {
        if (r.skipped.size() == limits::kMaxReceiptLines) break;
        r.skipped.push_back({s.line, s.reason});
    }
    const CheckResult result = CheckContest(logs, cty, settings);
    const LogCheck& check = result.logs.front();
    r.claimed = check.claimed;
    for (std::size_t i = 0; i < log.qsos.size(); ++i) {
        const Verdict v = check.qsos[i].verdict;
        int* count = v == Verdict::outsidePeriod ? &r.outsidePeriod
                     : v == Verdict::dupe        ? &r.dupes
                     : v == Verdict::wrongBand   ? &r.wrongBand
                     : v == Verdict::wrongMode   ? &r.wrongMode
                                                 : nullptr;
        if (!count) continue;
        ++*count;
        if (r.flagged.size() < limits::kMaxReceiptLines)
            r.flagged.push_back({static_cast<int>(log.qsos[i].line), VerdictName(v), Printable(log.Line(log.qsos[i]))});
    }
    return r;
}

namespace {

std::string ScoreLine(const ScoreFigures& f) {
    return std::to_string(f.qsos) + " QSOs, " + std::to_string(f.points) + " points, " +
           std::to_string(f.exchangeMults + f.prefixMults) + " multipliers (" + std::to_string(f.exchangeMults) +
           " exchange, " + std::to_string(f.prefixMults) + " prefix): " + std::to_string(f.score);
}

std::string Plural(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string ReceiptText(const Receipt& r) {
    std::string t = "Log received from " + r.call + " at " + FormatUtc(r.received) + " UTC (upload " +
                    std::to_string(r.version) + " of this call)\n";
    t += "Category:       " + r.category + "\n";
    t += "QSOs read:      " + std::to_string(r.qsos) + "\n";
    t += "Lines not read: " + std::to_string(r.skippedCount) + "\n";
    for (const SkippedLine& s : r.skipped) t += "  line " + std::to_string(s.line) + ": " + s.reason + "\n";
    t += "Claimed score:  " + ScoreLine(r.claimed) + "\n";
    t += "CLAIMED-SCORE:  " + (r.claimedLine.empty() ? std::string("(none in the header)") : r.claimedLine) + "\n";
    t += "Outside the period: " + std::to_string(r.outsidePeriod) + ", dupes: " + std::to_string(r.dupes) +
         ", wrong band: " + std::to_string(r.wrongBand) + ", wrong mode: " + std::to_string(r.wrongMode) + "\n";
    for (const FlaggedQso& f : r.flagged) t += "  line " + std::to_string(f.line) + " " + f.verdict + ": " + f.text + "\n";
    t += "SHA-256:        " + r.sha256 + " (" + Plural(r.bytes, "byte", "bytes") + ")\n";
    t += "Your page:      " + r.link + "\n";
    t += "Keep this link: it is the only way to your page and your report.\n";
    return t;
}

std::string ReceiptJson(const Receipt& r) {
    std::string j = "{\"call\":" + Json(r.call) + ",\"category\":" + Json(r.category) +
                    ",\"received\":" + Json(FormatUtc(r.received)) + ",\"version\":" + std::to_string(r.version) +
                    ",\"qsos\":" + std::to_string(r.qsos) + ",\"lines_not_read\":" + std::to_string(r.skippedCount) +
                    ",\"not_read\":[";
    for (std::size_t i = 0; i < r.skipped.size(); ++i)
        j += std::string(i ? "," : "") + "{\"line\":" + std::to_string(r.skipped[i].line) +
             ",\"reason\":" + Json(r.skipped[i].reason) + "}";
    const ScoreFigures& f = r.claimed;
    j += "],\"claimed\":{\"qsos\":" + std::to_string(f.qsos) + ",\"points\":" + std::to_string(f.points) +
         ",\"exchange_mults\":" + std::to_string(f.exchangeMults) + ",\"prefix_mults\":" +
         std::to_string(f.prefixMults) + ",\"score\":" + std::to_string(f.score) +
         "},\"claimed_score_line\":" + Json(r.claimedLine) + ",\"outside_period\":" + std::to_string(r.outsidePeriod) +
         ",\"dupes\":" + std::to_string(r.dupes) + ",\"wrong_band\":" + std::to_string(r.wrongBand) +
         ",\"wrong_mode\":" + std::to_string(r.wrongMode) + ",\"flagged\":[";
    for (std::size_t i = 0; i < r.flagged.size(); ++i)
        j += std::string(i ? "," : "") + "{\"line\":" + std::to_string(r.flagged[i].line) +
             ",\"verdict\":" + Json(r.flagged[i].verdict) + ",\"text\":" + Json(r.flagged[i].text) + "}";
    return j + "],\"sha256\":" + Json(r.sha256) + ",\"bytes\":" + std::to_string(r.bytes) + ",\"link\":" + Json(r.link) +
           "}\n";
}

std::string ReceiptHtml(const Receipt& r, const std::string& contest) {
    std::string h = PageHead(contest + ": log of " + r.call);
    h += "<h1>Log received from " + Html(r.call) + "</h1>\n<p>" + Html(FormatUtc(r.received)) + " UTC, upload " +
         std::to_string(r.version) + " of this call. The latest upload is the one checked.</p>\n<table>\n";
    const auto row = [&](const std::string& name, const std::string& value) {
        h += "<tr><th class=\"call\">" + name + "</th><td class=\"call\">" + value + "</td></tr>\n";
    };
    row("Category", Html(r.category));
    row("QSOs read", std::to_string(r.qsos));
    row("Lines not read", std::to_string(r.skippedCount));
    row("Claimed score", Html(ScoreLine(r.claimed)));
    row("CLAIMED-SCORE", r.claimedLine.empty() ? "(none in the header)" : Html(r.claimedLine));
    row("Outside the period", std::to_string(r.outsidePeriod));
    row("Dupes", std::to_string(r.dupes));
    row("Wrong band", std::to_string(r.wrongBand));
    row("Wrong mode", std::to_string(r.wrongMode));
    row("SHA-256", "<code>" + r.sha256 + "</code> (" + Plural(r.bytes, "byte", "bytes") + ")");
    h += "</table>\n";
    if (!r.skipped.empty()) {
        h += "<h2>Lines not read</h2>\n<ul>\n";
        for (const SkippedLine& s : r.skipped) h += "<li>line " + std::to_string(s.line) + ": " + Html(s.reason) + "</li>\n";
        h += "</ul>\n";
    }
    if (!r.flagged.empty()) {
        h += "<h2>QSOs that do not count</h2>\n<ul>\n";
        for (const FlaggedQso& f : r.flagged)
            h += "<li>line " + std::to_string(f.line) + " " + Html(f.verdict) + ": <code>" + Html(f.text) + "</code></li>\n";
        h += "</ul>\n";
    }
    h += "<p>Your page: <a id=\"private-link\" href=\"" + Html(r.link) + "\">" + Html(r.link) +
         "</a>. Keep this link: it is the only way to your page and your report.</p>\n";
    return h + "<p><a href=\"/upload\">Send another log</a></p>\n</body></html>\n";
}
