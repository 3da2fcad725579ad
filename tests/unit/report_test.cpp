#include "contest/report.h"

#include <gtest/gtest.h>

#include "base/std_files.h"

#include "fake_env.h"
#include "module/stats_module.h"
#include "contest/intake.h"
#include "contest/reset.h"
#include "module/live_score.h"
#include "test_qso.h"

namespace {

StdFiles files;  // the real file system, under the scratch folder

const DateTime kFinal = FromCalendar(2021, 3, 6, 12, 0, 0);

DateTime MinutesBefore(const DateTime& t, double minutes) { return {t.value - minutes / 1440.0, t.status}; }

struct Qso {
    std::string call, band, country, continent, exch, prefix;
    DateTime time;
    std::string mode = "RTTY";
};

// Stands in for the DLL's poster thread: takes what is offered, reports a set status.
struct FakeSender : LiveScoreSender {
    LiveScoreSettings settings;
    std::vector<LivePost> offers;
    LiveScoreStatus status;
    void Configure(const LiveScoreSettings& s) override {
        settings = s;
        status.on = s.On();
    }
    void Offer(const LivePost& post) override { offers.push_back(post); }
    LiveScoreStatus Status() override { return status; }
};

class ReportTest : public ::testing::Test {
protected:
    ScratchDir dir;
    FakeEnv env;
    FakeSender sender;  // off unless a test names a scoreboard: every report below is then unchanged
    StatsModule module{env, files, &sender};
    ContestState& state = module.state();

    void Reset(int makeCabrillo = 0) {
        ResetArgs a;
        a.makeCabrillo = makeCabrillo;
        a.myCall = "SM5XYZ";
        a.start = FromCalendar(2021, 3, 6);
        a.end = FromCalendar(2021, 3, 7);
        a.myCountry = "SM";
        a.myContinent = "EU";
        module.ResetStats0(a);
    }

    void Add(const Qso& q) {
        const TestQso t{.call = q.call, .band = q.band, .mode = q.mode, .exchRcvd = q.exch, .prefix = q.prefix,
                        .country = q.country, .continent = q.continent, .rstRcvd = "599", .time = q.time,
                        .freqHz = 14085000};
        AddData(state, files, t.args());
    }

    // Bands first worked 20m, 80m, 40m, 80M, 15m; one WRONG BAND and one WRONG MODE
    // line; the final record is a dupe on 20m.
    void AddSmallLog() {
        Add({"OH2XX", "20m", "OH", "EU", "0042", "OH2", MinutesBefore(kFinal, 55)});
        Add({"K5ZD", "80m", "K", "NA", "0100", "K5", MinutesBefore(kFinal, 5)});
        Add({"DL1ABC", "20m", "DL", "EU", "0042", "DL1", MinutesBefore(kFinal, 120)});
        Add({"SM0AAA", "40m", "SM", "EU", "0007", "SM0", MinutesBefore(kFinal, 30)});
        Add({"UA9XX", "80M", "UA9", "AS", "0200", "UA9", MinutesBefore(kFinal, 3)});
        Add({"G4ABC", "30m", "G", "EU", "0300", "G4", MinutesBefore(kFinal, 2)});
        Add({"F5ABC", "15m", "F", "EU", "0400", "F5", MinutesBefore(kFinal, 1), "PSK31"});
        Add({"OH2XX", "20m", "OH", "EU", "0099", "OH2", kFinal});
    }
};

const std::string kTextHead =
    "  VERDA-WW-DX-Contest 06.03-07.03.2021 \r\n"
    "            Contestant: SM5XYZ\r\n"
    "Band\tQSOs\tPoints\tMult\tPrefix\r\n";

const std::string kTextBands =
    "80m\t 1\t  15\t  1\t  0\r\n"
    "80M\t 1\t  0\t  1\t  0\r\n"
    "40m\t 1\t  8\t  1\t  1\r\n"
    "20m\t 2\t  7\t  1\t  1\r\n"
    "15m\t 0\t  0\t  0\t  0\r\n";

const std::string kTextTotals =
    "Total\t 5\t  30\t  4\t  2\r\n"
    "Dupe\t 1\r\n"
    "Bad QSO\t 2\r\n"
    "\r\n"
    "Score = 30 * (4 + 2)  = 180 \r\n";

const std::string kHtmlHead =
    "<html><head><style>table{ width:100%; }table, th, td{ border: 1px solid black; border-collapse: collapse; }"
    "th, td{ padding: 1px; text-align: middle; }th,td{ background-color: #fffac6; color: black; }</style></head>"
    "<body><center><b>   VERDA-WW-DX-Contest 06.03-07.03.2021</b></center><center>Contestant:  <b>SM5XYZ</center></b>"
    "<table><tr><th>Band</th><th>QSOs</th><th>Points</th><th>Mult</th><th>Prefix</th></tr>";

std::string HtmlRow(const std::string& band, int q, int p, int m, int x) {
    return "<tr><th><center>" + band + "</center></th><td><center>" + std::to_string(q) +
           "</center></td><td><center>" + std::to_string(p) + "</center></td><td><center>" + std::to_string(m) +
           "</center></td><td><center>" + std::to_string(x) + "</center></td></tr>";
}

std::string HtmlTail(const std::string& lastQso, const std::string& qsoRate, const std::string& ptsRate) {
    return "<tr><th>Last QSO points:</th><td colspan=5><center>" + lastQso + "</center> </td></tr>" +
           "<th colspan=6><center>Rate</center></th></tr>" +
           "<tr><th>Hourly (10min/1 hour) QSO rate:</th><td colspan=6><center>" + qsoRate + "</center></td></tr>" +
           "<tr><th>Hourly (10min/1 hour) pts rate:</th><td colspan=6><center>" + ptsRate + "</center></td></tr>" +
           "</table><h6 align=right>Stats.dll " STATS_VERSION " for VERDA-WW-DX</h6></body></html>";
}

const std::string kHtmlBandsAndTotals =
    HtmlRow("80m", 1, 15, 1, 0) + HtmlRow("80M", 1, 0, 1, 0) + HtmlRow("40m", 1, 8, 1, 1) + HtmlRow("20m", 2, 7, 1, 1) +
    HtmlRow("15m", 0, 0, 0, 0) + HtmlRow("Total", 5, 30, 4, 2) +
    "<tr><th><center>Dupe</center></th><td><center>1</center></td><td colspan=7> </td></tr>"
    "<tr><th><center>Bad QSO</center></th><td><center>2</center></td><td colspan=7> </td></tr>"
    "<tr><th>Score:</th><td colspan=8><center>30 * (4 + 2)  = 180</center></td></tr>";

TEST_F(ReportTest, CabrilloPassHasNoRatesButStillTheLastQso) {
    Reset(1);
    AddSmallLog();
    EXPECT_EQ(std::string(module.GetResult0()), kTextHead + kTextBands + kTextTotals);
    state.htmlResults = 1;
    EXPECT_EQ(std::string(module.GetResult0()), kHtmlHead + kHtmlBandsAndTotals + HtmlTail("    2", "    0 /0", "    0 /0"));
    EXPECT_EQ(env.settings["Claimed"], "180");
    EXPECT_EQ(state.claimedScore, 180);
    EXPECT_EQ(state.workedBands, (TextList{"80m", "80M", "40m", "20m", "15m"}));
    EXPECT_EQ(state.shared.multExchByBand[1], (TextList{"0100"}));
    EXPECT_EQ(state.shared.multExchByBand[3], (TextList{"0042"}));
    EXPECT_EQ(state.shared.nordicByBand[2], (TextList{"SM0"}));
    EXPECT_EQ(state.shared.nordicByBand[3], (TextList{"OH2"}));
}

// With a scoreboard named, each report hands the poster the figures it shows, by
// contest band, and ends with what became of the last post; the rest is unchanged.
TEST_F(ReportTest, WithLiveScoresOnTheReportOffersItsFiguresAndEndsWithThePostsStatus) {
    env.settings[setting::kLiveUrl] = "http://127.0.0.1:8080/post";
    Reset(1);
    AddSmallLog();
    ASSERT_TRUE(sender.settings.On());
    EXPECT_EQ(std::string(module.GetResult0()), kTextHead + kTextBands + kTextTotals + "Live score: not sent yet\r\n");
    ASSERT_EQ(sender.offers.size(), 1u);
    const ClaimedFigures& f = sender.offers[0].score;
    EXPECT_EQ(sender.offers[0].call, "SM5XYZ");
    EXPECT_EQ((std::vector<std::string>{f.bands[0].band, f.bands[1].band, f.bands[2].band}),
              (std::vector<std::string>{"80", "40", "20"}));  // 80M goes with 80m; 15m has no QSO that counts
    EXPECT_EQ(f.bands[0].qsos + f.bands[1].qsos + f.bands[2].qsos, 5);
    EXPECT_EQ(f.bands[0].points + f.bands[1].points + f.bands[2].points, 30);
    EXPECT_EQ(f.bands[0].exchangeMults + f.bands[1].exchangeMults + f.bands[2].exchangeMults, 4);
    EXPECT_EQ(f.bands[0].prefixMults + f.bands[1].prefixMults + f.bands[2].prefixMults, 2);
    EXPECT_EQ(f.score, 180);

    sender.status.tried = sender.status.accepted = true;
    sender.status.triedAt = sender.status.acceptedAt = 1615031880;  // 2021-03-06 11:58 UTC
    state.htmlResults = 1;
    EXPECT_EQ(std::string(module.GetResult0()), kHtmlHead + kHtmlBandsAndTotals + HtmlTail("    2", "    0 /0", "    0 /0").insert(
        HtmlTail("    2", "    0 /0", "    0 /0").rfind("</body>"), "<p>Live score: sent 11:58 UTC</p>"));
    sender.status.accepted = false;
    sender.status.triedAt = 1615032000;
    sender.status.problem = "the scoreboard answered 403: unknown key";
    state.htmlResults = 0;
    EXPECT_EQ(std::string(module.GetResult0()), kTextHead + kTextBands + kTextTotals +
        "Live score: not taken at 12:00 UTC (the scoreboard answered 403: unknown key); last sent 11:58 UTC\r\n");
}

// The key is kept sealed for the Windows user once read; minutes have a floor.
struct SealingEnv : FakeEnv {
    bool canSeal = true;
    std::optional<std::string> ProtectSecret(std::string_view clear) override {
        if (!canSeal) return std::nullopt;
        return "sealed(" + std::string(clear) + ")";
    }
    std::optional<std::string> UnprotectSecret(std::string_view sealed) override {
        if (sealed.rfind("sealed(", 0) != 0) return std::nullopt;
        return std::string(sealed.substr(7, sealed.size() - 8));
    }
};

TEST(LiveScoreSettings, TheKeyIsSealedOnceReadAndTheIntervalHasAFloor) {
    SealingEnv env;
    EXPECT_FALSE(ReadLiveScoreSettings(env).On());
    EXPECT_TRUE(env.settingWrites.empty());

    env.settings = {{setting::kLiveUrl, "https://scores.example.org/post"}, {setting::kLiveUser, "SM5XYZ"},
                    {setting::kLivePassword, "k3y"}};
    LiveScoreSettings s = ReadLiveScoreSettings(env);
    EXPECT_EQ(s.password, "k3y");
    EXPECT_EQ(s.intervalSeconds, 120);
    EXPECT_EQ(env.settings[setting::kLivePassword], "protected:sealed(k3y)");
    EXPECT_EQ(ReadLiveScoreSettings(env), s);  // read back from the sealed form
    EXPECT_EQ(env.settingWrites.size(), 1u);

    env.settings[setting::kLivePassword] = "protected:another user's";
    EXPECT_EQ(ReadLiveScoreSettings(env).password, "");

    env.canSeal = false;
    env.settings[setting::kLivePassword] = "k3y";
    EXPECT_EQ(ReadLiveScoreSettings(env).password, "k3y");
    EXPECT_EQ(env.settings[setting::kLivePassword], "k3y");  // left as it was rather than lost

    for (const auto& [minutes, seconds] :
         std::vector<std::pair<std::string, int>>{{"0", 60}, {"-3", 60}, {"5", 300}, {"", 120}, {"2x", 120}}) {
        env.settings[setting::kLiveMinutes] = minutes;
        EXPECT_EQ(ReadLiveScoreSettings(env).intervalSeconds, seconds) << minutes;
    }
}

TEST_F(ReportTest, LongTextsComeOutWholeAndMarkupIsEscaped) {
    Reset();
    state.myCall = std::string(5000, 'W') + "<b>&";
    const std::string text = std::string(module.GetResult0());
    EXPECT_NE(text.find("Contestant: " + state.myCall + "\r\n"), std::string::npos);

    state.htmlResults = 1;
    const std::string html = std::string(module.GetResult0());
    EXPECT_NE(html.find("<b>" + std::string(5000, 'W') + "&lt;b&gt;&amp;</center>"), std::string::npos);
}

// Rates: the final record is the reference; spans are rounded half a second away
// from zero before whole minutes are taken.
class RateTest : public ::testing::Test {
protected:
    ContestState state;

    void Log(DateTime t, std::string band = "20m", std::string country = "K", int dupe = 0) {
        CInfo r;
        r.call = "K" + std::to_string(state.shared.log.size()) + "AA";
        r.band = band;
        r.country = std::move(country);
        r.continent = "NA";
        r.time = t;
        r.dupe = r.notCounted = dupe;
        state.shared.log.push_back(r);
        bool seen = false;
        for (const auto& b : state.workedBands) seen = seen || b == band;
        if (!seen) state.workedBands.push_back(band);
    }
};

TEST_F(RateTest, LaterQsosAndSingleRecordLogsCountInBothWindows) {
    state.myCountry = "K";
    state.myContinent = "EU";
    Log(MinutesBefore(kFinal, -90), "80m");  // after the reference; own country on another continent: 15
    Log(kFinal, "40m");
    RateFigures r = ComputeRates(state);
    EXPECT_EQ(r.hourQsos, 2);
    EXPECT_EQ(r.tenMinuteQsos, 2);
    EXPECT_EQ(r.tenMinutePoints, 15 + 10);
    EXPECT_EQ(r.lastQsoPoints, 10);

    ContestState single;
    single.shared.log.push_back(state.shared.log[1]);
    single.workedBands = {"40m"};
    single.myContinent = "EU";
    r = ComputeRates(single);
    EXPECT_EQ(r.hourQsos, 1);
    EXPECT_EQ(r.tenMinuteQsos, 1);
}

}  // namespace
