// Contest definitions: the files shipped, the error a bad one gets, each rule
// of the format on small logs worked out by hand, and the faults real logs
// showed, in the shapes they were seen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "check_options.h"
#include "check_report.h"
#include "logs/cty_dat.h"
#include "logs/input_error.h"

namespace {

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const CountryFile& Cty() {
    static const CountryFile cty = CountryFile::Parse(Slurp(CTY_DAT), CTY_DAT);
    return cty;
}

std::string ErrorOf(const std::string& text) {
    try {
        ReadContestDefinition(text, "x.toml");
        return "read";
    } catch (const InputError& e) {
        return e.what();
    }
}

struct Contest {
    CheckOptions options = ParseCheckOptions({"folder"});
    ContestLogs logs;
    CheckResult result;

    Contest(const std::string& definition, const std::vector<std::pair<std::string, std::vector<std::string>>>& stations) {
        UseDefinition(options, ReadContestDefinition(definition, "test.toml"));
        for (const auto& [call, qsos] : stations) {
            std::string text = "START-OF-LOG: 3.0\nCALLSIGN: " + call + "\n";
            for (const auto& q : qsos) text += q + "\n";
            AddLog(logs, call + ".log", text + "END-OF-LOG:\n", options.read);
        }
        result = CheckContest(logs, Cty(), options.settings);
    }
    const LogCheck& Of(const std::string& call) const {
        return result.logs.at(static_cast<std::size_t>(logs.LogOf(logs.calls.Find(call))));
    }
    std::string Evidence(const std::string& call, std::size_t qso) const {
        return EvidenceText(logs, result, options.settings, static_cast<std::size_t>(logs.LogOf(logs.calls.Find(call))),
                            qso);
    }
};

const std::string kHeader = "name = \"Test\"\nbands = [\"80m\", \"40m\"]\nmodes = [\"CW\", \"PH\"]\n";
const std::string kExchange =
    "[[exchange]]\nname = \"rst\"\nkind = \"rst\"\nchecked = false\n"
    "[[exchange]]\nname = \"nr\"\nkind = \"number\"\n"
    "[[exchange]]\nname = \"county\"\nkind = \"text\"\n";

TEST(ContestDefinition, TheShippedFilesReadAndVerdaKeepsThePluginsScore) {
    for (const auto& e : std::filesystem::directory_iterator(CONTESTS)) {
        if (e.path().extension() == ".toml") {
            EXPECT_NO_THROW(ReadContestDefinition(Slurp(e.path()), e.path().string()));
        }
    }
    CheckOptions o = ParseCheckOptions({"folder"});
    UseDefinition(o, ReadContestDefinition(Slurp(std::string(CONTESTS) + "/verda_ww_dx.toml"), "verda_ww_dx.toml"));
    ASSERT_TRUE(o.settings.contest.pluginRules);
    ContestLogs logs;
    AddLog(logs, "sample.adi", Slurp(SAMPLE_LOG), o.read);
    const CheckResult result = CheckContest(logs, Cty(), o.settings);
    EXPECT_EQ(result.logs.at(0).claimed.score, 4523904);
    EXPECT_EQ(result.logs.at(0).checked.score, 4523904);
}

TEST(ContestDefinition, ABadFileIsRefusedNamingTheKeyAndTheLine) {
    const std::string valid = kHeader + kExchange + "[points]\nqso = 2\n";
    ASSERT_EQ(ErrorOf(valid), "read");
    // Cyrillic and Latin-1 letters, which the parser is not asked about, come back as written.
    EXPECT_EQ(ReadContestDefinition("name = \"Пловдив é\"" + valid.substr(valid.find('\n')), "x.toml").name,
              "Пловдив é");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"name = \"x\nmodes = [\"CW\"]\n", "x.toml: line 1: "},  // TOML's own error, from the library
        {"name = \"x\"\nnmae = 1\n",
         "x.toml: line 2: nmae: unknown key (name, scoring, bands, modes, score, period_clock, period, segment, "
         "exchange, matching, dupes, errors, no_log, points, multiplier are known here)"},
        {"modes = [\"CW\"]\n", "x.toml: line 1: name: missing"},
        {"name = \"x\"\nmodes = [\"CW\", \"XX\"]\n", "x.toml: line 2: modes: \"XX\" is not CW, PH, RY, DG or FM"},
        {"name = \"x\"\nbands = [\"81m\"]\nmodes = [\"CW\"]\n", "x.toml: line 2: bands: \"81m\" is not a band"},
        {kHeader + "[[period]]\nstart = \"2021-03-06 1200\"\nend = \"2021-03-06 1100\"\n" + kExchange,
         "x.toml: line 6: period[1].end: the period ends before it starts"},
        {kHeader + "[[period]]\nstart = \"2021-03-06 25:00\"\nend = \"2021-03-06\"\n",
         "x.toml: line 5: period[1].start: not a time \"YYYY-MM-DD HHMM\" (UTC) or a day \"YYYY-MM-DD\""},
        {kHeader + "[[exchange]]\nname = \"nr\"\nkind = \"serial\"\n",
         "x.toml: line 6: exchange[1].kind: \"serial\" is not one of \"rst\", \"number\", \"text\""},
        {kHeader + kExchange + "[dupes]\nper = \"day\"\n",
         "x.toml: line 15: dupes.per: \"day\" is not one of \"band\", \"band-mode\", \"none\""},
        {kHeader + kExchange + "[points]\nqso = 2\n[points.by_band]\n80m = 1\n40m = 2\n",
         "x.toml: line 14: points: give one of qso, by_band and by_region"},
        {kHeader + kExchange + "[points]\nqso = \"2\"\n", "x.toml: line 15: points.qso: an integer is wanted, this is a text"},
        {kHeader + kExchange + "[points]\nqso = 2\n[[multiplier]]\nkind = \"field\"\nfield = \"zone\"\n",
         "x.toml: line 18: multiplier[1].field: \"zone\" is no exchange field"},
        {"name = \"x\"\nscoring = \"plug-in\"\nmodes = [\"RY\"]\n[points]\nqso = 2\n",
         "x.toml: line 4: points: the plug-in's rule code decides it where scoring = \"plug-in\""},
        {kHeader + kExchange + "[errors]\npenalty = 101\n", "x.toml: line 15: errors.penalty: 101 is not from 0 to 100"},
        // Characters that toml++ 3.3 cannot tell from whitespace: its own error, and the character back in it.
        {"name = \"x\"\nmodes = [\"CW\"] \xC3\xA9\n",
         "x.toml: line 2: Error while parsing key-value pair: expected a comment or whitespace, saw '\xC3\xA9'"},
    };
    for (const auto& [text, error] : cases) {
        const std::string got = ErrorOf(text);
        if (error.back() == ' ') EXPECT_EQ(got.substr(0, error.size()), error) << got;
        else EXPECT_EQ(got, error) << text;
    }
}

// Points by where the station is, a reduced QSO, the dupe rule, a segment,
// countries per band: SM5AAA's log, scored by hand.
TEST(ContestDefinition, PointsMultipliersAndTheScoreFollowTheFile) {
    const std::string definition =
        "score = \"points-times-multipliers\"\n" + kHeader + kExchange +
        "[[segment]]\nband = \"80m\"\nfrom = 3500\nto = 3560\nmodes = [\"CW\"]\n"
        "[dupes]\nper = \"band\"\n[points.by_region]\nsame_country = 1\nsame_continent = 2\nother = 3\n"
        "[points.reduced]\none_field_wrong = 1\n[[multiplier]]\nkind = \"country\"\nper = \"band\"\n";
    const auto q = [](const char* f, const char* t, const char* me, const char* sent, const char* call, const char* rcvd) {
        return std::string("QSO: ") + f + " CW 2021-03-06 " + t + " " + me + " 599 " + sent + " " + call + " 599 " + rcvd;
    };
    const Contest c(definition,
                    {{"SM5AAA",
                      {q("3510", "0900", "SM5AAA", "1 AB", "SM6BBB", "1 CD"), q("3520", "0905", "SM5AAA", "2 AB", "DL1CCC", "1 EF"),
                       q("3530", "0910", "SM5AAA", "3 AB", "W1DDD", "1 XX"), q("7010", "0915", "SM5AAA", "4 AB", "SM6BBB", "2 CD"),
                       q("7010", "0920", "SM5AAA", "5 AB", "SM6BBB", "3 CD"), q("3600", "0925", "SM5AAA", "6 AB", "DL1CCC", "2 EF")}},
                     {"SM6BBB", {q("3510", "0900", "SM6BBB", "1 CD", "SM5AAA", "1 AB"), q("7010", "0915", "SM6BBB", "2 CD", "SM5AAA", "4 AB"),
                                 q("7010", "0920", "SM6BBB", "3 CD", "SM5AAA", "5 AB")}},
                     {"DL1CCC", {q("3520", "0905", "DL1CCC", "1 EF", "SM5AAA", "2 AB"), q("3600", "0925", "DL1CCC", "2 EF", "SM5AAA", "6 AB")}},
                     {"W1DDD", {q("3530", "0910", "W1DDD", "1 GH", "SM5AAA", "3 AB")}}});
    const LogCheck& a = c.Of("SM5AAA");
    EXPECT_EQ(a.qsos[2].verdict, Verdict::bustedExchange);
    EXPECT_FALSE(a.qsos[2].removed);
    EXPECT_EQ(c.Evidence("SM5AAA", 2).substr(0, 31), "county: you copied GH as XX: W1");
    EXPECT_EQ(a.qsos[4].verdict, Verdict::dupe);
    EXPECT_EQ(a.qsos[5].verdict, Verdict::wrongBand);
    EXPECT_EQ(c.Evidence("SM5AAA", 5), "3600 kHz is outside 80m's segments for CW");
    // 1 (SM) + 2 (DL) + 1 (W, one field wrong) + 1 (SM on 40m); SM, DL, K on 80m and SM on 40m.
    EXPECT_EQ(a.checked.points, 5);
    EXPECT_EQ(a.checked.multipliers, 4);
    EXPECT_EQ(a.checked.score, 20);
    // Claimed: the W QSO at its full 3 points; the dupe and the line off the segment not at all.
    EXPECT_EQ(a.claimed.points, 7);
    EXPECT_EQ(a.claimed.score, 28);
}

// Points by band, a field's listed values per band and mode, prefixes per
// contest, the sum as the score, repeats credited, stations without a log.
TEST(ContestDefinition, TheOtherWaysToScore) {
    const std::string file =
        "score = \"sum-of-points\"\n" + kHeader + kExchange +
        "[dupes]\nper = \"none\"\n[no_log]\ncredited_from = 2\npoints = 1\n"
        "[points.by_band]\n80m = 2\n40m = 4\n";
    const auto q = [](const char* f, const char* t, const char* me, const char* sent, const char* call, const char* rcvd) {
        return std::string("QSO: ") + f + " CW 2021-03-06 " + t + " " + me + " 599 " + sent + " " + call + " 599 " + rcvd;
    };
    const Contest c(file, {{"SM5AAA", {q("3510", "0900", "SM5AAA", "1 AB", "SM6BBB", "1 CD"),
                                       q("3510", "0930", "SM5AAA", "2 AB", "SM6BBB", "2 CD"),
                                       q("7010", "0940", "SM5AAA", "3 AB", "OH1XYZ", "5 UU")}},
                           {"SM6BBB", {q("3510", "0900", "SM6BBB", "1 CD", "SM5AAA", "1 AB"),
                                       q("3510", "0930", "SM6BBB", "2 CD", "SM5AAA", "2 AB"),
                                       q("7010", "0941", "SM6BBB", "3 CD", "OH1XYZ", "9 UU")}}});
    const LogCheck& a = c.Of("SM5AAA");
    EXPECT_EQ(a.qsos[1].verdict, Verdict::ok);  // a repeat, credited
    EXPECT_EQ(a.qsos[2].checkedPoints, 1);      // OH1XYZ is in two logs: reduced points
    EXPECT_EQ(a.checked.score, 2 + 2 + 1);
    EXPECT_EQ(a.claimed.score, 2 + 2 + 4);

    const std::string mults =
        kHeader + kExchange + "[points]\nqso = 1\n[[multiplier]]\nkind = \"field\"\nfield = \"county\"\nper = \"band-mode\"\n"
        "values = [\"AB\", \"CD\"]\n[[multiplier]]\nkind = \"prefix\"\nper = \"contest\"\n";
    const Contest m(mults, {{"SM5AAA", {q("3510", "0900", "SM5AAA", "1 AB", "SM6BBB", "1 CD"),
                                        q("7010", "0910", "SM5AAA", "2 AB", "SM6BBB", "2 CD"),
                                        q("7010", "0920", "SM5AAA", "3 AB", "SM6CCC", "1 ZZ")}},
                            {"SM6BBB", {q("3510", "0900", "SM6BBB", "1 CD", "SM5AAA", "1 AB"),
                                        q("7010", "0910", "SM6BBB", "2 CD", "SM5AAA", "2 AB")}},
                            {"SM6CCC", {q("7010", "0920", "SM6CCC", "1 ZZ", "SM5AAA", "3 AB")}}});
    // CD on 80m and on 40m (ZZ is in no list), and the one prefix SM6 for the contest.
    EXPECT_EQ(m.Of("SM5AAA").checked.multipliers, 3);
    EXPECT_EQ(m.Of("SM5AAA").checked.score, 3 * 3);
}

// The faults of real logs, in the shapes they were seen: both numbers
// miscopied, a double entry and its confirmation, a busted call without a digit.
TEST(ContestDefinition, RealLogsFaultsAreMended) {
    const Contest c(kHeader + kExchange + "[points]\nqso = 2\n",
                    {{"SM5XYZ",
                      {"QSO:  3510 CW 2021-03-06 0907 SM5XYZ 599 001 AB OH2BH 599 005 CD",
                       "QSO:  3510 CW 2021-03-06 0954 SM5XYZ 599 0041 AB ES1ABC 599 012 EF",
                       "QSO:  3510 CW 2021-03-06 0955 SM5XYZ 599 0043 AB ES1ABC 599 012 EF",
                       "QSO:  3702  PH 2021-03-06 0818 SM5XYZ  59  015  AB  LCOX  59  050 CD"}},
                     {"OH2BH", {"QSO:  3510 CW 2021-03-06 0909 OH2BH 599 007 CD SM5XYZ 599 004 AB"}},
                     {"ES1ABC", {"QSO:  3510 CW 2021-03-06 0955 ES1ABC 599 012 EF SM5XYZ 599 043 AB"}}});
    const LogCheck& me = c.Of("SM5XYZ");
    ASSERT_EQ(me.qsos.size(), 4u);  // the LCOX line is read: the exchange is declared
    EXPECT_EQ(c.logs.calls.Text(c.logs.logs[0].qsos[3].call), "LCOX");
    EXPECT_EQ(me.qsos[0].verdict, Verdict::bustedExchange);
    EXPECT_EQ(c.Evidence("SM5XYZ", 0).substr(0, 27), "nr: you copied 007 as 005: ");
    EXPECT_EQ(c.Of("OH2BH").qsos[0].verdict, Verdict::bustedExchange);
    EXPECT_EQ(c.Evidence("OH2BH", 0).substr(0, 27), "nr: you copied 001 as 004: ");
    EXPECT_EQ(me.qsos[1].verdict, Verdict::dupe);
    EXPECT_EQ(c.Evidence("SM5XYZ", 1), "dupe of line 5, the QSO ES1ABC's log confirms");
    EXPECT_EQ(me.qsos[2].verdict, Verdict::ok);
    EXPECT_EQ(c.Of("ES1ABC").qsos[0].verdict, Verdict::ok);
    // The confirmed line and LCOX (in no other log: flagged, kept); the busted exchange removed.
    EXPECT_EQ(me.checked.points, 2 * 2);
}

}  // namespace
