// Whole passes through the real DLL: reset, QSOs, results, in both report forms.
#include <windows.h>

#include "plugin_settings.h"
#include "plugin_test.h"

namespace {

const std::string kCredit = "Stats.dll " STATS_VERSION " for VERDA-WW-DX";

QsoCall Qso(const char* call, const char* band, const char* country, const char* continent, const char* exch,
            const char* prefix, int hour, int minute) {
    return {.call = call, .time = HostTime(2021, 3, 6, hour, minute), .exchRcvd = exch, .prefix = prefix,
            .country = country, .continent = continent, .band = band};
}

class ResultsTest : public PluginTest {
protected:
    void SetUp() override { ASSERT_EQ(dll.ResetStats0(ResetCall{}), 1); }

    // Bands first worked as 20m, 80m, 10m, 160m, then an upper-case 20M; a dupe,
    // a rejected QSO and Nordic-Baltic stations worked by an SM station.
    void AddMixedLog() {
        dll.AddData0(Qso("DL1ABC", "20m", "DL", "EU", "0042", "DL1", 12, 0));
        dll.AddData0(Qso("OH2BH", "80m", "OH", "EU", "0017", "OH2", 12, 10));
        dll.AddData0(Qso("K5ZD", "10m", "K", "NA", "0233", "K5", 12, 20));
        dll.AddData0(Qso("SM5ABC", "160m", "SM", "EU", "0042", "SM5", 12, 30));
        dll.AddData0(Qso("W1AW", "20M", "K", "NA", "0299", "W1", 12, 40));
        dll.AddData0(Qso("DL1ABC", "20m", "DL", "EU", "0042", "DL1", 12, 50));
        dll.AddData0(Qso("ES1XX", "30m", "ES", "EU", "0101", "ES1", 12, 52));
        dll.AddData0(Qso("SM0XYZ", "20m", "SM", "EU", "0042", "SM0", 12, 55));
    }
};

TEST_F(ResultsTest, PlainTextReportOfAMixedLog) {
    AddMixedLog();
    int out = 0;
    const std::string report = dll.GetResult0(&out);
    EXPECT_EQ(out, -1);
    EXPECT_EQ(report,
              "  VERDA-WW-DX-Contest 06.03-07.03.2021 \r\n"
              "            Contestant: SM5XYZ\r\n"
              "Band\tQSOs\tPoints\tMult\tPrefix\r\n"
              "160m\t 1\t  8\t  1\t  1\r\n"
              "80m\t 1\t  8\t  1\t  1\r\n"
              "20m\t 2\t  7\t  1\t  1\r\n"
              "20M\t 1\t  0\t  1\t  0\r\n"
              "10m\t 1\t  3\t  1\t  0\r\n"
              "Total\t 6\t  26\t  5\t  3\r\n"
              "Dupe\t 1\r\n"
              "Bad QSO\t 1\r\n"
              "\r\n"
              "Score = 26 * (5 + 3)  = 208 \r\n"
              "\r\n"
              "\t\t\tRate\r\n"
              "Hourly (10min) QSO rate:     6 (6) QSOs/hour\r\n"
              "Hourly (10min) pts rate:    26 (30) points/hour\r\n"
              "\r\n"
              "Last QSO: 5 points\r\n"
              "\r\n" +
                  kCredit);
    EXPECT_EQ(Setting("Claimed"), "208");
}

TEST_F(ResultsTest, HtmlReportAfterSetVersion) {
    AddMixedLog();
    EXPECT_EQ(dll.setVersion("x"), 0u);
    const std::string row = "<tr><th><center>%s</center></th><td><center>%i</center></td><td><center>%i</center></td>"
                            "<td><center>%i</center></td><td><center>%i</center></td></tr>";
    auto bandRow = [](const char* band, int q, int p, int m, int x) {
        char buf[512];
        std::snprintf(buf, sizeof buf,
                      "<tr><th><center>%s</center></th><td><center>%i</center></td><td><center>%i</center></td>"
                      "<td><center>%i</center></td><td><center>%i</center></td></tr>",
                      band, q, p, m, x);
        return std::string(buf);
    };
    const std::string expected =
        "<html><head><style>table{ width:100%; }table, th, td{ border: 1px solid black; border-collapse: collapse; }"
        "th, td{ padding: 1px; text-align: middle; }th,td{ background-color: #fffac6; color: black; }</style></head>"
        "<body><center><b>   VERDA-WW-DX-Contest 06.03-07.03.2021</b></center><center>Contestant:  <b>SM5XYZ"
        "</center></b><table><tr><th>Band</th><th>QSOs</th><th>Points</th><th>Mult</th><th>Prefix</th></tr>" +
        bandRow("160m", 1, 8, 1, 1) + bandRow("80m", 1, 8, 1, 1) + bandRow("20m", 2, 7, 1, 1) +
        bandRow("20M", 1, 0, 1, 0) + bandRow("10m", 1, 3, 1, 0) + bandRow("Total", 6, 26, 5, 3) +
        "<tr><th><center>Dupe</center></th><td><center>1</center></td><td colspan=7> </td></tr>"
        "<tr><th><center>Bad QSO</center></th><td><center>1</center></td><td colspan=7> </td></tr>"
        "<tr><th>Score:</th><td colspan=8><center>26 * (5 + 3)  = 208</center></td></tr>"
        "<tr><th>Last QSO points:</th><td colspan=5><center>    5</center> </td></tr>"
        "<th colspan=6><center>Rate</center></th></tr>"
        "<tr><th>Hourly (10min/1 hour) QSO rate:</th><td colspan=6><center>    6 /6</center></td></tr>"
        "<tr><th>Hourly (10min/1 hour) pts rate:</th><td colspan=6><center>   26 /30</center></td></tr>"
        "</table><h6 align=right>" +
        kCredit + "</h6></body></html>";
    EXPECT_EQ(dll.Results(), expected);
    EXPECT_EQ(dll.Results(), expected);  // a second call changes nothing
}

TEST_F(ResultsTest, RatesCountWholeMinutesAfterHalfASecondShift) {
    QsoCall last = Qso("K1AA", "20m", "K", "NA", "0001", "K1", 13, 0);
    QsoCall inside = Qso("K1BB", "20m", "K", "NA", "0002", "K1", 12, 0);
    QsoCall outside = Qso("K1CC", "20m", "K", "NA", "0003", "K1", 12, 0);
    inside.time.value = last.time.value - 3599.4 / 86400.0;   // 59 min 59.4 s before
    outside.time.value = last.time.value - 3599.6 / 86400.0;  // 59 min 59.6 s before
    dll.AddData0(outside);
    dll.AddData0(inside);
    dll.AddData0(last);
    const std::string report = dll.Results();
    EXPECT_NE(report.find("Hourly (10min) QSO rate:     2 (6) QSOs/hour\r\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Hourly (10min) pts rate:     6 (18) points/hour\r\n"), std::string::npos) << report;
}

TEST_F(ResultsTest, SingleQsoPointsSkipTheOwnCountryRuleOnTheLowBands) {
    // Own country SM (EU). A non-Nordic own-country station cannot exist for SM,
    // so use an own station in DL worked from Asiatic DL territory.
    ResetCall reset;
    reset.myCountry = "DL";
    dll.ResetStats0(reset);
    QsoCall q = Qso("DL0XX", "80m", "DL", "AS", "0001", "DL0", 12, 0);
    dll.AddData0(q);
    const std::string report = dll.Results();
    EXPECT_NE(report.find("80m\t 1\t  5\t  1\t  0\r\n"), std::string::npos) << report;  // band points: own country
    EXPECT_NE(report.find("Last QSO: 15 points"), std::string::npos) << report;         // single QSO: continent
}

TEST_F(ResultsTest, AFinalDupeReportsTheLastCountedQsoOfItsBand) {
    dll.AddData0(Qso("K1AA", "20m", "K", "NA", "0001", "K1", 12, 0));
    dll.AddData0(Qso("OH2BH", "40m", "OH", "EU", "0002", "OH2", 12, 5));
    dll.AddData0(Qso("DL1AA", "20m", "DL", "EU", "0003", "DL1", 12, 10));
    dll.AddData0(Qso("K1AA", "20m", "K", "NA", "0001", "K1", 12, 20));  // dupe, final record
    EXPECT_NE(dll.Results().find("Last QSO: 2 points"), std::string::npos);

    dll.ResetStats0(ResetCall{});
    dll.AddData0(Qso("K1AA", "20m", "K", "NA", "0001", "K1", 12, 0));
    dll.AddData0(Qso("OH2BH", "40m", "OH", "EU", "0002", "OH2", 12, 5));
    QsoCall dupe = Qso("OH2BH", "40m", "OH", "EU", "0002", "OH2", 12, 6);
    dll.AddData0(dupe);
    dll.RemoveData0(Qso("OH2BH", "40m", "OH", "EU", "0002", "OH2", 12, 5));  // only the dupe is left on 40m
    EXPECT_NE(dll.Results().find("Last QSO: 0 points"), std::string::npos);
}

TEST_F(ResultsTest, BadQsoCountSkipsDupeLinesAndTheHeader) {
    QsoCall q;
    dll.AddData0(q);
    dll.AddData0(q);
    dll.AddData0(q);  // two DUPE lines
    for (const char* band : {"30m", "17m", "6m"}) {
        QsoCall bad;
        bad.band = band;
        dll.AddData0(bad);
    }
    const std::string report = dll.Results();
    EXPECT_NE(report.find("Dupe\t 2\r\nBad QSO\t 3\r\n"), std::string::npos) << report;
}

TEST_F(ResultsTest, EmptyLogHasNoRateBlockAndNoBandRows) {
    int out = 0;
    EXPECT_EQ(std::string(dll.GetResult0(&out)),
              "  VERDA-WW-DX-Contest 06.03-07.03.2021 \r\n            Contestant: SM5XYZ\r\n"
              "Band\tQSOs\tPoints\tMult\tPrefix\r\n"
              "Total\t 0\t  0\t  0\t  0\r\nDupe\t 0\r\nBad QSO\t 0\r\n\r\nScore = 0 * (0 + 0)  = 0 \r\n");
    EXPECT_EQ(out, -1);
    EXPECT_EQ(Setting("Claimed"), "0");
}

TEST_F(ResultsTest, ARepeatedResetDiscardsThePreviousPass) {
    AddMixedLog();
    dll.Results();
    ResetCall reset;
    reset.myCall = "OH2XYZ";
    dll.ResetStats0(reset);
    EXPECT_EQ(BadQso(), "VERDA-WW-DX CONTEST UBN file \r\n");
    dll.AddData0(Qso("DL1ABC", "20m", "DL", "EU", "0042", "DL1", 12, 0));  // not a dupe any more
    const std::string report = dll.Results();
    EXPECT_NE(report.find("Contestant: OH2XYZ\r\nBand\tQSOs\tPoints\tMult\tPrefix\r\n20m\t 1\t  2\t  1\t  0\r\nTotal"),
              std::string::npos)
        << report;
    EXPECT_EQ(BadQso(), "VERDA-WW-DX CONTEST UBN file \r\n");
}

TEST_F(ResultsTest, NullOutPointerStillReturnsTheReport) {
    AddMixedLog();
    const char* text = dll.GetResult0(nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text).rfind("  VERDA-WW-DX-Contest", 0), 0u);
}

TEST_F(ResultsTest, ThousandsOfQsosFromResetToResults) {
    // 3000 distinct stations on the six bands, plus a dupe of each 10th.
    const char* bands[] = {"160m", "80m", "40m", "20m", "15m", "10m"};
    int added = 0;
    for (int i = 0; i < 3000; ++i) {
        char call[16], exch[8];
        std::snprintf(call, sizeof call, "K%dA%03d", i % 10, i);
        std::snprintf(exch, sizeof exch, "%04d", i / 6);  // 500 distinct exchanges a band
        QsoCall q = Qso(call, bands[i % 6], "K", "NA", exch, "K1", 0, 0);
        q.time.value = HostTime(2021, 3, 6, 0, 0).value + i / 1440.0;
        added += dll.AddData0(q);
        if (i % 10 == 0) added += dll.AddData0(q);
    }
    EXPECT_EQ(added, 3300);
    const std::string report = dll.Results();
    // Points: 500 QSOs a band, 15 on 160/80, 10 on 40, 3 on the high bands.
    const int points = 500 * (15 + 15 + 10 + 3 + 3 + 3);
    const std::string score = std::to_string(static_cast<long long>(points) * 3000);  // 500 mults x 6 bands
    EXPECT_NE(report.find("Total\t 3000\t  " + std::to_string(points) + "\t  3000\t  0\r\nDupe\t 300\r\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("= " + score + " \r\n"), std::string::npos) << report;
    EXPECT_EQ(Setting("Claimed"), score);
}

}  // namespace
