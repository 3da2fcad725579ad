// Logs as a sponsor receives them, whatever their bytes: up to four files (split
// at a form feed) through the readers and the whole cross-check, scores and
// reports included.
#include <string_view>

#include "check_report.h"
#include "cross_check.h"
#include "fuzz_env.h"
#include "logs/cty_dat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const CountryFile cty = CountryFile::Parse(
        "Finland: 15: 18: EU: 61.4: -24.8: -2.0: OH:\n OH,=OH2BH;\n"
        "Sweden: 14: 18: EU: 58.9: -15.3: -1.0: SM:\n SM;\n"
        "United States: 05: 08: NA: 37.5: 91.0: 5.0: K:\n K,W,N;\n",
        "fuzz.dat");
    std::string_view text(reinterpret_cast<const char*>(data), size);
    ContestLogs logs;
    ReadOptions read;
    if (!text.empty()) read.exchangeField = static_cast<unsigned char>(text.back()) % 5;
    for (int n = 0; n < 4 && !text.empty(); ++n) {
        const auto cut = text.find('\f');
        AddLog(logs, "log" + std::to_string(n), std::string(text.substr(0, cut)), read);
        text = cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1);
    }
    CheckSettings settings;
    settings.windowMinutes = static_cast<int>(size % 7);
    settings.contest.penalty = static_cast<int>(size % 3);
    settings.contest.noLogCreditedFrom = static_cast<int>(size % 4);
    const CheckResult result = CheckContest(logs, cty, settings);
    for (std::size_t l = 0; l < logs.logs.size(); ++l) CheckingReport(logs, result, settings, l);
    VerdictsCsv(logs, result, settings);
    ResultsHtml(logs, result, "fuzz");
    return 0;
}
