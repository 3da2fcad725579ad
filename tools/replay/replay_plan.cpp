#include "replay_plan.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "cty_dat.h"

namespace {

// "YYYY-MM-DD", optionally followed by a blank or 'T' and "HHMM" or "HH:MM".
bool ParseWhen(const std::string& text, DateTime& out) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    const auto digits = [&](std::size_t at, std::size_t n, int& v) {
        if (at + n > text.size()) return false;
        v = 0;
        for (std::size_t i = at; i < at + n; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
            v = v * 10 + (text[i] - '0');
        }
        return true;
    };
    if (!digits(0, 4, y) || text.size() < 10 || text[4] != '-' || !digits(5, 2, mo) || text[7] != '-' ||
        !digits(8, 2, d))
        return false;
    if (text.size() > 10) {
        if (text[10] != ' ' && text[10] != 'T') return false;
        const std::string t = text.substr(11);
        const bool colon = t.size() == 5 && t[2] == ':';
        if (t.size() != 4 && !colon) return false;
        if (!digits(11, 2, h) || !digits(colon ? 14 : 13, 2, mi)) return false;
    }
    return MakeQsoTime(y, mo, d, h, mi, 0, out);
}

std::string Verdict(const std::string& badLine) {
    const auto bang = badLine.rfind(" !!!");
    const auto start = badLine.rfind("   ", bang);
    if (bang == std::string::npos || start == std::string::npos) return "rejected";
    return badLine.substr(start + 3, bang - start - 3);
}

}  // namespace

const char* const kReplayUsage =
    "usage: replay LOG [options]\n"
    "  LOG                  an ADIF (.adi) log or a Cabrillo log\n"
    "  --cty FILE           country file (default: cty.dat beside replay.exe, else Debian's copy)\n"
    "  --mycall CALL        own call (default: STATION_CALLSIGN or OPERATOR of the log)\n"
    "  --start \"YYYY-MM-DD HHMM\", --end \"YYYY-MM-DD HHMM\"\n"
    "                       contest dates (default: the first and the last QSO)\n"
    "  --workdir DIR        where the plug-in writes its files (default: out)\n"
    "  --html FILE          also write the report as an HTML page\n"
    "  --cabrillo           also write a Cabrillo file\n"
    "  --header FILE        Cabrillo header values, one \"TAG: value\" a line\n"
    "  --interactive        let the operator fill in the header dialog\n"
    "  --windows            let the plug-in open its operator windows\n"
    "  --dll FILE           the Stats.dll to load (default: beside replay.exe)\n";

ReplayOptions ParseOptions(const std::vector<std::string>& args) {
    ReplayOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw InputError("the option " + a + " needs a value");
            return args[++i];
        };
        auto when = [&](std::optional<DateTime>& out) {
            const std::string& v = value();
            DateTime t;
            if (!ParseWhen(v, t)) throw InputError(a + " \"" + v + "\" is not a date YYYY-MM-DD or \"YYYY-MM-DD HHMM\"");
            out = t;
        };
        if (a == "--help" || a == "-h") o.help = true;
        else if (a == "--cty") o.ctyFile = value();
        else if (a == "--mycall") o.myCall = ToUpper(Trim(value()));
        else if (a == "--start") when(o.start);
        else if (a == "--end") when(o.end);
        else if (a == "--workdir") o.workdir = value();
        else if (a == "--html") o.htmlFile = value();
        else if (a == "--header") o.headerFile = value();
        else if (a == "--dll") o.dllFile = value();
        else if (a == "--cabrillo") o.cabrillo = true;
        else if (a == "--interactive") o.interactive = true;
        else if (a == "--windows") o.windows = true;
        else if (a.rfind("--", 0) == 0) throw InputError("unknown option " + a);
        else if (o.logFile.empty()) o.logFile = a;
        else throw InputError("more than one log file: " + o.logFile + " and " + a);
    }
    if (o.help) return o;
    if (o.logFile.empty()) throw InputError("no log file given");
    if (o.workdir.empty()) throw InputError("--workdir needs a folder");
    if (!o.headerFile.empty() && !o.cabrillo) throw InputError("--header needs --cabrillo");
    if (o.interactive && !o.cabrillo) throw InputError("--interactive needs --cabrillo");
    return o;
}

ReplayPlan MakePlan(const LogFile& log, const CountryFile& cty, const ReplayOptions& options) {
    const std::string& name = options.logFile;
    if (log.qsos.empty()) throw InputError(name + ": no QSO records");
    ReplayPlan plan;
    plan.myCall = options.myCall.empty() ? log.stationCall : options.myCall;
    if (plan.myCall.empty())
        throw InputError(name + ": the log does not name the own station (STATION_CALLSIGN); give --mycall");
    plan.me = AnalyseCall(cty, plan.myCall);

    std::set<std::string> unknown;
    DateTime first = log.qsos.front().time, last = first;
    for (const auto& q : log.qsos) {
        PlannedQso p{q, AnalyseCall(cty, q.call)};
        if (p.station.country.empty() && unknown.insert(q.call).second) plan.unknownCalls.push_back(q.call);
        first.value = std::min(first.value, q.time.value);
        last.value = std::max(last.value, q.time.value);
        plan.qsos.push_back(std::move(p));
    }
    plan.start = options.start.value_or(first);
    plan.end = options.end.value_or(last);
    if (plan.start.value > plan.end.value)
        throw InputError("the contest start " + FormatTime(plan.start, "%Y-%m-%d %H%M") + " is after its end " +
                         FormatTime(plan.end, "%Y-%m-%d %H%M"));
    return plan;
}

std::string BadQsoFileName(const DateTime& end) {
    return "BadQSO_StatsVERDAWW_" + FormatTime(end, "%d_%m_%Y") + ".txt";
}

std::string RejectSummary(const ReplayPlan& plan, const std::vector<QsoOutcome>& outcomes) {
    std::map<std::string, int> counts;
    std::string lines;
    for (std::size_t i = 0; i < outcomes.size() && i < plan.qsos.size(); ++i) {
        const auto& o = outcomes[i];
        if (o.result != 0 && o.badLine.empty()) continue;
        const std::string verdict = o.badLine.empty() ? "rejected" : Verdict(o.badLine);
        ++counts[verdict];
        const LogQso& q = plan.qsos[i].qso;
        char row[160];
        std::snprintf(row, sizeof row, "  record %-5d line %-6d %s  %-5s %-6s %-12s %s\n", q.record, q.line,
                      FormatTime(q.time, "%Y-%m-%d %H%M").c_str(), q.band.c_str(), q.mode.c_str(), q.call.c_str(),
                      verdict.c_str());
        lines += row;
    }
    if (counts.empty()) return "No QSO rejected, no dupes.\n";
    std::string text = "Rejected and dupe QSOs:";
    const char* sep = " ";
    for (const auto& [verdict, n] : counts) {
        text += sep + verdict + " " + std::to_string(n);
        sep = ", ";
    }
    return text + "\n" + lines;
}
