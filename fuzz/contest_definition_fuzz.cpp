// A contest definition of any bytes: read, or refused with an InputError; one
// that reads then rules a small contest, reports included.
#include <string_view>

#include "check_options.h"
#include "check_report.h"
#include "fuzz_env.h"
#include "logs/cty_dat.h"
#include "logs/input_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const CountryFile cty = CountryFile::Parse(
        "Finland: 15: 18: EU: 61.4: -24.8: -2.0: OH:\n OH;\n"
        "Sweden: 14: 18: EU: 58.9: -15.3: -1.0: SM:\n SM;\n",
        "fuzz.dat");
    CheckOptions o = ParseCheckOptions({"folder"});
    try {
        UseDefinition(o, ReadContestDefinition(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.toml"));
    } catch (const InputError&) {
        return 0;
    }
    ContestLogs logs;
    AddLog(logs, "a.log",
           "START-OF-LOG: 3.0\nCALLSIGN: OH2BH\n"
           "QSO:  3510 CW 2021-03-06 0900 OH2BH 599 001 AB SM5XYZ 599 001 CD\n"
           "QSO:  7010 PH 2021-03-06 0905 OH2BH 59 002 AB SM5XYZ 59 003 CD\n"
           "QSO: 14080 RY 2021-03-06 0910 OH2BH 599 1234 SM5XYZ 599 QWER\n",
           o.read);
    AddLog(logs, "b.log",
           "START-OF-LOG: 3.0\nCALLSIGN: SM5XYZ\n"
           "QSO:  3510 CW 2021-03-06 0901 SM5XYZ 599 001 CD OH2BH 599 001 AB\n"
           "QSO:  7010 PH 2021-03-06 0930 SM5XYZ 59 003 CD OH2BH 59 002 AB\n",
           o.read);
    const CheckResult result = CheckContest(logs, cty, o.settings);
    for (std::size_t l = 0; l < logs.logs.size(); ++l) CheckingReport(logs, result, o.settings, l);
    VerdictsCsv(logs, result, o.settings);
    ResultsCsv(logs, result);
    return 0;
}
