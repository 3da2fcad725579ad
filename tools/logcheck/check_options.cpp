#include "check_options.h"

#include <cmath>
#include <set>

#include "logs/input_error.h"
#include "logs/text.h"
#include "logs/dates.h"

const char* const kCheckUsage =
    "usage: logcheck FOLDER [options]\n"
    "  FOLDER               one contest's logs, a Cabrillo file per station\n"
    "  --cty FILE           country file (default: cty.dat beside logcheck, else Debian's copy)\n"
    "  --scp FILE           MASTER.SCP: calls known to be on the air; a call in it is\n"
    "                       never taken for a busted or unique one (default: none)\n"
    "  --out DIR            where the results go (default: checked)\n"
    "  --start \"YYYY-MM-DD HHMM\", --end \"YYYY-MM-DD HHMM\"\n"
    "                       the contest period; QSOs outside it are marked (default: no check)\n"
    "  --window N           two QSOs match within N minutes, clocks corrected (default 5)\n"
    "  --offset-limit N     the largest clock offset looked for, in minutes (default 15)\n"
    "  --exchange NAMES     the names of a side's exchange fields, such as \"RST NR\"\n"
    "  --number NAME        the field of those that holds the number (default: the last)\n"
    "  --exchange-field N   the number is exchange field N (1-4) of each side (default:\n"
    "                       the last field)\n"
    "  --contest-mode MODES the contest's modes, of RY, CW, PH and DG (default RY); QSOs\n"
    "                       in them are scored as RTTY QSOs, others are in the wrong mode\n"
    "  --remove-uniques     remove unique calls from the checked score, not only flag them\n"
    "  --penalty N          NIL and busted calls cost N times their points (default 0)\n"
    "  --help, /?           this list\n"
    "exit status: 0 every line read, 1 the run failed, 2 bad arguments or a bad country\n"
    "  or MASTER.SCP file, 3 some lines or files could not be read (listed, the rest\n"
    "  checked), 4 no log in the folder could be read (nothing written)\n";

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
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h" || a == "/?") {
            o.help = true;
            return o;
        }
        if (a == "--remove-uniques") {
            o.settings.removeUniques = true;
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
            "--exchange", "--number", "--exchange-field", "--penalty", "--contest-mode"};
        if (kValued.count(a) == 0) throw InputError("unknown option " + a);
        if (i + 1 >= args.size()) throw InputError(a + " needs a value");
        const std::string& v = args[++i];
        if (a == "--cty") o.ctyFile = v;
        else if (a == "--scp") o.scpFile = v;
        else if (a == "--out") o.outDir = v;
        else if (a == "--start") o.settings.start = Minute(a, v);
        else if (a == "--end") {
            o.settings.end = Minute(a, v);
            endIsDate = v.size() == 10;
        } else if (a == "--window") o.settings.windowMinutes = Count(a, v, 0, 60);
        else if (a == "--offset-limit") o.settings.offsetLimitMinutes = Count(a, v, 0, 1440);
        else if (a == "--exchange") names = Words(v);
        else if (a == "--number") number = ToUpper(v);
        else if (a == "--exchange-field") o.read.exchangeField = Count(a, v, 1, 4);
        else if (a == "--penalty") o.settings.penalty = Count(a, v, 0, 100);
        else if (a == "--contest-mode") {
            o.settings.contestModes.clear();
            for (const std::string& m : Words(v)) {
                if (m == "RY" || m == "RTTY") o.settings.contestModes.push_back("RTTY");
                else if (m == "CW") o.settings.contestModes.push_back("CW");
                else if (m == "PH" || m == "SSB") o.settings.contestModes.push_back("SSB");
                else if (m == "DG") o.settings.contestModes.push_back("DIGI");
                else throw InputError("--contest-mode \"" + v + "\" is not RY, CW, PH or DG");
            }
            if (o.settings.contestModes.empty()) throw InputError("--contest-mode names no mode");
        }
    }
    if (o.folder.empty()) throw InputError("no folder of logs given");
    if (endIsDate) *o.settings.end += 1439;  // a day named as the end takes all of it
    if (o.settings.start && o.settings.end && *o.settings.end < *o.settings.start)
        throw InputError("--end lies before --start");
    if (!number.empty() || !names.empty()) {
        if (names.empty()) throw InputError("--number names a field of --exchange, and there is none");
        if (names.size() > 4) throw InputError("--exchange names more than 4 fields");
        if (o.read.exchangeField) throw InputError("--exchange-field and --exchange both pick the number");
        const std::string pick = number.empty() ? names.back() : number;
        std::size_t at = 0;
        while (at < names.size() && names[at] != pick) ++at;
        if (at == names.size()) throw InputError("--number " + number + " is not one of the --exchange fields");
        o.read.exchangeField = static_cast<int>(at + 1);
    }
    return o;
}
