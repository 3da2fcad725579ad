// The ledger, its check against the report, the analysis figures and the
// figures-shift reading, from small logs whose figures are worked out by hand
// from the contest's point table.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "analysis.h"
#include "logs/cty_dat.h"
#include "ledger.h"
#include "log_checks.h"
#include "report_figures.h"
#include "logs/adif_reader.h"
#include "logs/input_error.h"

namespace {

const CountryFile& SmallCty() {
    static const CountryFile cty = CountryFile::Parse(
        "Sweden: 14: 18: EU: 58.9: -15.3: -1.0: SM:\n SM;\n"
        "Finland: 15: 18: EU: 61.4: -24.8: -2.0: OH:\n OH;\n"
        "Fed. Rep. of Germany: 14: 28: EU: 51.0: -10.0: -1.0: DL:\n DL;\n"
        "United States: 05: 08: NA: 37.5: 91.0: 5.0: K:\n K;\n",
        "small.dat");
    return cty;
}

struct Qso {
    const char* call;
    const char* time;  // HHMM on 2021-03-06
    const char* band;
    const char* mode;
    const char* rcvd;
    const char* verdict;  // what the plug-in answered: "" stored, else its bad-QSO reason
    const char* date = "20210306";
};

struct Made {
    ReplayPlan plan;
    std::vector<QsoOutcome> outcomes;
};

Made Make(const std::vector<Qso>& qsos) {
    std::string adif;
    const auto field = [&adif](const char* tag, const std::string& v) {
        adif += "<" + std::string(tag) + ":" + std::to_string(v.size()) + ">" + v;
    };
    for (const auto& q : qsos) {
        field("CALL", q.call);
        field("QSO_DATE", q.date);
        field("TIME_ON", q.time);
        field("BAND", q.band);
        field("MODE", q.mode);
        field("STX_STRING", "1987");
        field("SRX_STRING", q.rcvd);
        adif += "<EOR>\n";
    }
    Made m;
    m.plan = MakePlan(ReadAdifLog(adif, "log.adi"), SmallCty(), ParseOptions({"log.adi", "--mycall", "SM5XYZ"}));
    // The line the plug-in writes: no frequency in the log, so the band's lower
    // edge; no reports.
    const std::map<std::string, std::string> kHz = {{"80m", "3500"}, {"40m", "7000"}, {"20m", "14000"}};
    for (const auto& q : qsos) {
        const std::string verdict = q.verdict;
        QsoOutcome o;
        o.result = verdict.empty() || verdict == "DUPE" ? 1 : 0;
        if (!verdict.empty())
            o.badLine = "QSO:  " + kHz.at(q.band) + "  " + q.mode + "  2021-03-06 " + q.time + "  SM5XYZ    1987  " +
                        q.call + "    " + q.rcvd + "   " + verdict + " !!!";
        m.outcomes.push_back(o);
    }
    return m;
}

TEST(Ledger, EachQsoGetsItsVerdictPointsNewMultipliersAndTheScoreSoFar) {
    const Made m = Make({
        {"OH2BH", "1000", "80m", "RTTY", "0001", ""},      // Nordic-Baltic: 8
        {"DL1AB", "1001", "80m", "RTTY", "0001", ""},      // own continent: 5, no new multiplier
        {"K5ZD", "1002", "40m", "RTTY", "0002", ""},       // other continent on 40 m: 10
        {"OH2BH", "1003", "80m", "RTTY", "0009", "DUPE"},  // dupe of record 1
        {"SM6ABC", "1004", "20m", "RTTY", "0003", ""},     // Nordic-Baltic on 20 m: 5
        {"K1AR", "1005", "20m", "CW", "0004", "WRONG MODE"},
        {"DL2XX", "1006", "20m", "RTTY", "12,\"3", ""},     // own continent on 20 m: 2
    });
    const Ledger ledger = MakeLedger(m.plan, m.outcomes);
    ASSERT_EQ(ledger.rows.size(), 7u);
    const int points[] = {8, 5, 10, 0, 5, 0, 2};
    // points x (exchange + prefix multipliers) after each QSO
    const std::int64_t score[] = {8 * 2, 13 * 2, 23 * 3, 23 * 3, 28 * 5, 28 * 5, 30 * 6};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(ledger.rows[i].points, points[i]) << i;
        EXPECT_EQ(ledger.rows[i].score, score[i]) << i;
    }
    EXPECT_EQ(VerdictText(ledger.rows[3]), "dupe of record 1");
    EXPECT_EQ(VerdictText(ledger.rows[5]), "WRONG MODE");
    EXPECT_EQ(ledger.rows[0].newPrefixMult, "OH2");
    EXPECT_EQ(ledger.rows[1].newExchangeMult, "");  // 0001 already worked on 80 m
    EXPECT_EQ(ledger.rows[2].newExchangeMult, "0002");
    EXPECT_EQ(ledger.score, 180);

    const LedgerBand* b80 = ledger.Band("80m");
    ASSERT_NE(b80, nullptr);
    EXPECT_EQ(b80->qsos, 2);
    EXPECT_EQ(b80->points, 13);
    EXPECT_EQ(b80->exchangeMults, 1);
    EXPECT_EQ(b80->prefixMults, 1);
    EXPECT_EQ(b80->dupes, 1);
    EXPECT_EQ(ledger.Band("20m")->rejected, 1);

    std::istringstream csv(LedgerCsv(ledger));
    std::vector<std::string> lines;
    for (std::string line; std::getline(csv, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0],
              "record,line,time,band,call,sent,received,verdict,point class,points,new exchange multiplier,"
              "new prefix multiplier,claimed score\r");
    EXPECT_EQ(lines[1], "1,1,2021-03-06 1000,80m,OH2BH,1987,0001,counted,Nordic-Baltic,8,0001,OH2,16\r");
    EXPECT_EQ(lines[6], "6,6,2021-03-06 1005,20m,K1AR,1987,0004,WRONG MODE,,,,,140\r");
    EXPECT_EQ(lines[7], "7,7,2021-03-06 1006,20m,DL2XX,1987,\"12,\"\"3\",counted,own continent,2,\"12,\"\"3\",,180\r");
}

std::string LedgerError(const Made& m) {
    try {
        MakeLedger(m.plan, m.outcomes);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no error";
}

TEST(Ledger, AVerdictThePluginsRuleCodeDoesNotShareIsAnError) {
    Made m = Make({{"OH2BH", "1000", "80m", "RTTY", "0001", ""}, {"K5ZD", "1001", "80m", "RTTY", "0002", ""}});
    m.outcomes[1].result = 0;
    m.outcomes[1].badLine = "QSO:  3500  RTTY  2021-03-06 1001  SM5XYZ  599  1987  K5ZD  599  0002   DUPE !!!";
    EXPECT_EQ(LedgerError(m), "record 2: the plug-in rejected it, its rule code counts it");
    // Stored both times: only the line tells a dupe from a counted QSO.
    const Made twice = Make({{"OH2BH", "1000", "80m", "RTTY", "0001", ""}, {"OH2BH", "1001", "80m", "RTTY", "0002", ""}});
    EXPECT_EQ(LedgerError(twice), "record 2: the plug-in's bad-QSO line is none, its rule code's "
                                  "\"QSO:  3500  RTTY  2021-03-06 1001  SM5XYZ    1987  OH2BH    0002   DUPE !!!\"");
}

// The sample's report as the real plug-in printed it (tests/replay/sample_output.txt).
TEST(ReportFigures, ThePluginsReportIsReadBackAndADifferenceNamesBandAndFigures) {
    std::ifstream in(REPLAY_TEST_DIR "/sample_output.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const ReportFigures r = ParseReport(text.str());
    ASSERT_TRUE(r.complete);
    ASSERT_EQ(r.bands.size(), 6u);
    EXPECT_EQ(r.bands[0].band, "160m");
    EXPECT_EQ(r.bands[3].points, 1550);
    EXPECT_EQ(r.bands[5].prefixMults, 17);
    EXPECT_EQ(r.total.qsos, 1464);
    EXPECT_EQ(r.dupes, 6);
    EXPECT_EQ(r.badQsos, 10);
    EXPECT_EQ(r.score, 4523904);

    Ledger ledger;
    for (const auto& b : r.bands)
        ledger.bands.push_back({b.band, b.qsos, b.points, b.exchangeMults, b.prefixMults, b.band == "40m" ? 6 : 0});
    ledger.score = r.score;
    EXPECT_TRUE(CompareWithReport(ledger, r).empty());
    ledger.bands[3].points = 1549;
    const std::vector<std::string> expected = {"20m: points 1550 in the plug-in's report, 1549 in the ledger",
                                               "Total: points 8316 in the plug-in's report, 8315 in the ledger"};
    EXPECT_EQ(CompareWithReport(ledger, r), expected);
    EXPECT_FALSE(CompareWithReport(ledger, ParseReport("no report")).empty());
}

TEST(Analysis, BreaksBandTimeBandChangesAndBestStretches) {
    const Made m = Make({
        {"OH2BH", "1000", "20m", "RTTY", "0001", ""},
        {"DL1AB", "1005", "20m", "RTTY", "0002", ""},
        {"K5ZD", "1009", "40m", "RTTY", "0003", ""},
        {"K1AR", "1039", "40m", "RTTY", "0004", ""},  // 30 minutes on: a break
        {"SM6ABC", "1040", "20m", "RTTY", "0005", ""},
    });
    const Analysis a = Analyse(MakeLedger(m.plan, m.outcomes), {"40m", "20m"}, 30);
    ASSERT_EQ(a.time.breaks.size(), 1u);
    EXPECT_EQ(a.time.breaks[0].minutes, 30);
    EXPECT_EQ(a.time.operatingMinutes, 10);
    EXPECT_EQ(a.bandChanges, 2);
    ASSERT_EQ(a.bandActivity.size(), 2u);
    EXPECT_EQ(a.bandActivity[0].band, "40m");
    EXPECT_EQ(a.bandActivity[0].minutes, 1);
    EXPECT_EQ(a.bandActivity[1].minutes, 9);
    EXPECT_EQ(a.best10.qsos, 3);  // 1000 to 1009; 1010 would be a stretch of its own
    EXPECT_EQ(FormatTime(a.best10.to, "%H%M"), "1009");
    EXPECT_EQ(a.best60.qsos, 5);
    ASSERT_EQ(a.hours.size(), 1u);
    EXPECT_EQ(a.hours[0].qsos.at("20m"), 3);
    EXPECT_EQ(a.hours[0].score, (5 + 2 + 10 + 10 + 5) * (5 + 2));  // 5 exchanges, the prefixes OH2 and SM6

    EXPECT_EQ(Analyse(MakeLedger(m.plan, m.outcomes), {"40m", "20m"}, 31).time.breaks.size(), 0u);
}

// Dates that no contest log holds, but a file can: the minutes still add up.
TEST(Analysis, BreaksThousandsOfYearsLongAddUp) {
    const Made m = Make({{"OH2BH", "0000", "20m", "RTTY", "0001", "", "19000101"},
                         {"DL1AB", "0000", "20m", "RTTY", "0002", "", "50000101"},
                         {"K5ZD", "2359", "20m", "RTTY", "0003", "", "99991231"}});
    const Analysis a = Analyse(MakeLedger(m.plan, m.outcomes), {"20m"}, 30);
    ASSERT_EQ(a.time.breaks.size(), 2u);
    EXPECT_EQ(a.time.breaks[1].minutes, 2629745279);  // counted apart with Python's datetime
    EXPECT_EQ(a.time.breakMinutes, 4260188159);
    EXPECT_EQ(a.time.operatingMinutes, 0);
}

TEST(LogChecks, ALettersShiftReadsAsFigures) {
    EXPECT_EQ(FiguresReading("QWER"), "1234");
    EXPECT_EQ(FiguresReading("qwep"), "1230");
    EXPECT_EQ(FiguresReading("1W3R"), "1234");  // the shift lost in the middle
    EXPECT_EQ(FiguresReading("QWERT"), "");     // five figures
    EXPECT_EQ(FiguresReading("QWEA"), "");      // A is no figure
    EXPECT_EQ(ReadMasterScp("# comment\nsm5xyz\r\nOH2BH\n\n").size(), 2u);
}

TEST(AnalysisOptions, BreakMinutesAndScpGoWithAnalysis) {
    EXPECT_EQ(ParseOptions({"log.adi", "--analysis", "a.html"}).breakMinutes, 30);
    EXPECT_EQ(ParseOptions({"log.adi", "--analysis", "a.html", "--break-minutes", "45"}).breakMinutes, 45);
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"log.adi", "--analysis", "a.html", "--break-minutes", "0"},
          {"log.adi", "--analysis", "a.html", "--break-minutes", "-5"},
          {"log.adi", "--break-minutes", "45"},
          {"log.adi", "--scp", "MASTER.SCP"}})
        EXPECT_THROW(ParseOptions(bad), InputError) << bad[1];
}

}  // namespace
