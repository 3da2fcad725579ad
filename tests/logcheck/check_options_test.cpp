// logcheck's command line: what each option sets, and the one-line error that a
// bad value or a bad combination gets instead of a run on a guess.
#include <gtest/gtest.h>

#include "check_options.h"
#include "logs/input_error.h"

namespace {

std::string ErrorOf(const std::vector<std::string>& args) {
    try {
        return ParseCheckOptions(args).folder.empty() ? "no folder" : "accepted";
    } catch (const InputError& e) {
        return e.what();
    }
}

TEST(CheckOptions, ValuesReachTheSettings) {
    const CheckOptions plain = ParseCheckOptions({"logs"});
    EXPECT_EQ(plain.folder, "logs");
    EXPECT_EQ(plain.outDir, "checked");
    EXPECT_EQ(plain.settings.contestModes, std::vector<std::string>{"RTTY"});
    EXPECT_FALSE(plain.settings.start || plain.settings.end);

    const CheckOptions o = ParseCheckOptions({"--start", "2026-02-14 0000", "logs", "--end", "2026-02-15", "--window",
                                              "0", "--offset-limit", "1440", "--penalty", "100", "--remove-uniques",
                                              "--contest-mode", "ry, cw,PH", "--exchange", "rst nr", "--number", "rst"});
    // Minutes since 1899-12-30; a day named as the end takes all of it.
    EXPECT_EQ(*o.settings.start, 46067 * 1440);
    EXPECT_EQ(*o.settings.end, 46068 * 1440 + 1439);
    EXPECT_EQ(o.settings.windowMinutes, 0);
    EXPECT_EQ(o.settings.offsetLimitMinutes, 1440);
    EXPECT_EQ(o.settings.penalty, 100);
    EXPECT_TRUE(o.settings.removeUniques);
    EXPECT_EQ(o.settings.contestModes, (std::vector<std::string>{"RTTY", "CW", "SSB"}));
    EXPECT_EQ(o.read.exchangeField, 1);
    EXPECT_EQ(ParseCheckOptions({"logs", "--exchange", "RST NR QTH"}).read.exchangeField, 3);
    EXPECT_TRUE(ParseCheckOptions({"logs", "--help", "--window", "x"}).help);
}

TEST(CheckOptions, BadValuesAndCombinationsGetAClearError) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no folder of logs given"},
        {{"a", "b"}, "a second folder \"b\": logcheck checks one folder"},
        {{"logs", "--colour"}, "unknown option --colour"},
        {{"logs", "--colour", "red"}, "unknown option --colour"},
        {{"logs", "--window"}, "--window needs a value"},
        {{"logs", "--window", "61"}, "--window \"61\" is not a number from 0 to 60"},
        {{"logs", "--window", "-1"}, "--window \"-1\" is not a number from 0 to 60"},
        {{"logs", "--offset-limit", "15m"}, "--offset-limit \"15m\" is not a number from 0 to 1440"},
        {{"logs", "--penalty", "00001"}, "--penalty \"00001\" is not a number from 0 to 100"},
        {{"logs", "--exchange-field", "5"}, "--exchange-field \"5\" is not a number from 1 to 4"},
        {{"logs", "--start", "2026-02-30"}, "--start \"2026-02-30\" is not a date YYYY-MM-DD or \"YYYY-MM-DD HHMM\""},
        {{"logs", "--end", "2026-02-14 2460"}, "--end \"2026-02-14 2460\" is not a date YYYY-MM-DD or \"YYYY-MM-DD HHMM\""},
        {{"logs", "--start", "2026-02-15", "--end", "2026-02-14 2359"}, "--end lies before --start"},
        {{"logs", "--contest-mode", "RY FM"}, "--contest-mode \"RY FM\" is not RY, CW, PH or DG"},
        {{"logs", "--contest-mode", " , "}, "--contest-mode names no mode"},
        {{"logs", "--number", "NR"}, "--number names a field of --exchange, and there is none"},
        {{"logs", "--exchange", "RST NR", "--number", "QTH"}, "--number QTH is not one of the --exchange fields"},
        {{"logs", "--exchange", "A B C D E"}, "--exchange names more than 4 fields"},
        {{"logs", "--exchange", "RST NR", "--exchange-field", "1"}, "--exchange-field and --exchange both pick the number"},
    };
    for (const auto& [args, error] : cases) EXPECT_EQ(ErrorOf(args), error) << ::testing::PrintToString(args);
}

}  // namespace
