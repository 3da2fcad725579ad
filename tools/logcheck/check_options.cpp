#include "check_options.h"

#include <cmath>
#include <set>

#include "logs/input_error.h"
#include "logs/text.h"
#include "logs/dates.h"

const char* const kCheckUsage =
    "usage: logcheck FOLDER [options]\n"
    "  FOLDER               one contest's logs, a Cabrillo file per station\n"
    "  --contest FILE       the contest's rules, a definition file (contests/*.toml);\n"
    "                       default: VERDA-WW-DX, scored by the plug-in's own rule code\n"
    "  --cty FILE           country file (default: cty.dat beside logcheck, else Debian's copy)\n"
    "  --scp FILE           MASTER.SCP: calls known to be on the air; a call in it is\n"
    "                       never taken for a busted or unique one (default: none)\n"
    "  --out DIR            where the results go (default: checked)\n"
    "  --start \"YYYY-MM-DD HHMM\", --end \"YYYY-MM-DD HHMM\"\n"
    "                       the contest period, both minutes inside; QSOs outside it are\n"
    "                       marked (default: the definition's, else no check)\n"
    "  --window N           two QSOs match within N minutes, clocks corrected (default 5)\n"
    "  --offset-limit N     the largest clock offset looked for, in minutes (default 15)\n"
    "  Without --contest, these say the rules:\n"
    "  --exchange NAMES     the names of a side's exchange fields, such as \"RST NR\";\n"
    "                       their count splits each QSO line\n"
    "  --number NAME        the field of those that holds the number (default: the last)\n"
    "  --exchange-field N   the number is exchange field N (1-4) of each side (default:\n"
    "                       the last field)\n"
    "  --contest-mode MODES the contest's modes, of RY, CW, PH and DG (default RY); QSOs\n"
    "                       in them are scored as RTTY QSOs, others are in the wrong mode\n"
    "  --remove-uniques     remove unique calls from the checked score, not only flag them\n"
    "  --penalty N          NIL and busted calls cost N times their points (default 0)\n"
    "  --help, /?           this list\n"
    "exit status: 0 every line read, 1 the run failed, 2 bad arguments or a bad\n"
    "  definition, country or MASTER.SCP file, 3 some lines or files could not be read\n"
    "  (listed, the rest checked), 4 no log in the folder could be read (nothing written)\n";

namespace {

int Count(const std::string& option, const std::string& v, int low, int high) {
    if (v.empty() || v.size() > 4 || !IsDigits(v, v.size()) || std::stoi(v) < low || std::stoi(v) > high)
        throw InputError(option + " \"" + v + "\" is not a number from " + std::to_string(low) + " to " +
                         std::to_string(high));
    return std::stoi(v);
}

std::int32_t Minute(const std::string& option, const std::string& v) {
    return static_cast<std::int32_t>(std::llround(WhenOption(option, v).value * 1440.0));
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string w;
    for (char c : text + " ") {
        if (c == ' ' || c == ',') {
            if (!w.empty()) words.push_back(ToUpper(w));
            w.clear();
        } else {
            w += c;
        }
    }
    return words;
}

}  // namespace

CheckOptions ParseCheckOptions(const std::vector<std::string>& args) {
    CheckOptions o;
    std::vector<std::string> names;
    std::string number;
    bool endIsDate = false;
    std::optional<std::int32_t> start, end;
    std::vector<std::string> rules;  // the options that a definition would say
    ContestDefinition& contest = o.settings.contest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h" || a == "/?") {
            o.help = true;
            return o;
        }
        if (a == "--remove-uniques") {
            contest.noLogCreditedFrom = 2;
            rules.push_back(a);
            continue;
        }
        if (a.rfind("--", 0) != 0) {
            if (!o.folder.empty()) throw InputError("a second folder \"" + a + "\": logcheck checks one folder");
            o.folder = a;
            continue;
        }
        // An unknown option is named as such, not taken to want the next argument.
        static const std::set<std::string> kValued = {
            "--cty",      "--scp",    "--out",            "--start",   "--end",         "--window", "--offset-limit",
            "--exchange", "--number", "--exchange-field", "--penalty", "--contest-mode", "--contest"};
        if (kValued.count(a) == 0) throw InputError("unknown option " + a);
        if (i + 1 >= args.size()) throw InputError(a + " needs a value");
        const std::string& v = args[++i];
        if (a == "--exchange" || a == "--number" || a == "--exchange-field" || a == "--penalty" || a == "--contest-mode")
            rules.push_back(a);
        if (a == "--contest") o.contestFile = v;
        else if (a == "--cty") o.ctyFile = v;
        else if (a == "--scp") o.scpFile = v;
        else if (a == "--out") o.outDir = v;
        else if (a == "--start") start = Minute(a, v);
        else if (a == "--end") {
            end = Minute(a, v);
            endIsDate = v.size() == 10;
        } else if (a == "--window") o.settings.windowMinutes = Count(a, v, 0, 60);
        else if (a == "--offset-limit") o.settings.offsetLimitMinutes = Count(a, v, 0, 1440);
        else if (a == "--exchange") names = Words(v);
        else if (a == "--number") number = ToUpper(v);
        else if (a == "--exchange-field") o.read.exchangeField = Count(a, v, 1, 4);
        else if (a == "--penalty") contest.penalty = Count(a, v, 0, 100);
        else if (a == "--contest-mode") {
            contest.modes.clear();
            for (const std::string& m : Words(v)) {
                const std::string mode = m == "FM" ? "" : ReaderMode(m);
                if (mode.empty()) throw InputError("--contest-mode \"" + v + "\" is not RY, CW, PH or DG");
                contest.modes.push_back(mode);
            }
            if (contest.modes.empty()) throw InputError("--contest-mode names no mode");
        }
    }
    if (o.folder.empty()) throw InputError("no folder of logs given");
    if (!o.contestFile.empty() && !rules.empty())
        throw InputError(rules.front() + " and --contest both give the rules: the definition file says them");
    if (endIsDate) *end += 1439;  // a day named as the end takes all of it
    if (start && end && *end < *start) throw InputError("--end lies before --start");
    if (start || end) {
        o.period.emplace();
        if (start) o.period->first = *start;
        if (end) o.period->last = *end;
        contest.periods = {*o.period};
    }
    if (!number.empty() || !names.empty()) {
        if (names.empty()) throw InputError("--number names a field of --exchange, and there is none");
        if (names.size() > 4) throw InputError("--exchange names more than 4 fields");
        if (o.read.exchangeField) throw InputError("--exchange-field and --exchange both pick the number");
        const std::string pick = number.empty() ? names.back() : number;
        std::size_t at = 0;
        while (at < names.size() && names[at] != pick) ++at;
        if (at == names.size()) throw InputError("--number " + number + " is not one of the --exchange fields");
        o.read.exchangeField = static_cast<int>(at + 1);
        o.read.declaredFields = static_cast<int>(names.size());
        // Named, the number alone is checked, as without names.
        for (std::size_t f = 0; f < names.size(); ++f)
            contest.exchange.push_back({names[f], f == at ? FieldKind::number : names[f] == "RST" ? FieldKind::rst : FieldKind::text,
                                        f == at});
    }
    return o;
}

void UseDefinition(CheckOptions& o, ContestDefinition d) {
    if (o.period) d.periods = {*o.period};
    o.read = {};
    o.read.declaredFields = static_cast<int>(d.exchange.size());
    for (std::size_t f = 0; f < d.exchange.size(); ++f)
        if (d.exchange[f].kind == FieldKind::number) {
            o.read.exchangeField = static_cast<int>(f + 1);
            break;
        }
    if (o.read.exchangeField == 0) o.read.exchangeField = 1;  // the readers' number, unused by a definition's rules
    o.settings.contest = std::move(d);
}
