// The plug-in's live score post as the server reads it: the bundled sample log
// handed to the portable module as the host hands it, its post's breakdown held
// against the real Stats.dll's recorded report (tests/replay/sample_output.txt),
// and against the module's own report after the host removes a QSO.
#include "contest/score_post.h"

#include <gtest/gtest.h>

#include <regex>

#include "../unit/fake_env.h"
#include "base/std_files.h"
#include "breakdown.h"
#include "logs/cty_dat.h"
#include "logs/log_file.h"
#include "module/stats_module.h"
#include "post_reader.h"
#include "replay_plan.h"
#include "scoreboard.h"

namespace {

struct ReportRow {
    std::string band;
    long long qsos, points, mults, prefixes;
};

// The band rows and the total of a plain-text report, as the plug-in writes them.
std::vector<ReportRow> Rows(const std::string& report) {
    std::vector<ReportRow> rows;
    const std::regex row(R"((\w+)\t (\d+)\t  (\d+)\t  (\d+)\t  (\d+)\r?\n)");
    for (std::sregex_iterator m(report.begin(), report.end(), row), end; m != end; ++m)
        rows.push_back({(*m)[1], std::stoll((*m)[2]), std::stoll((*m)[3]), std::stoll((*m)[4]), std::stoll((*m)[5])});
    return rows;
}

QsoArgs ArgsOf(const ReplayPlan& plan, const PlannedQso& p) {
    QsoArgs a;
    a.myCall = plan.myCall;
    a.call = p.qso.call;
    a.time = p.qso.time;
    a.freqHz = static_cast<unsigned>(p.qso.freqHz);
    a.mode = p.qso.mode;
    a.rstSent = p.qso.rstSent;
    a.rstRcvd = p.qso.rstRcvd;
    a.exchSent = p.qso.exchSent;
    a.exchRcvd = p.qso.exchRcvd;
    a.prefix = p.station.prefix;
    a.country = p.station.country;
    a.continent = p.station.continent;
    a.band = p.qso.band;
    return a;
}

// The post's breakdown, band by band, must be the report's rows, and its score the report's.
void ExpectPostIsReport(const ScorePost& post, const std::vector<ReportRow>& rows, long long score) {
    ASSERT_FALSE(rows.empty());
    for (const ReportRow& r : rows) {
        SCOPED_TRACE(r.band);
        std::string band = r.band == "Total" ? "total" : r.band.substr(0, r.band.size() - 1);
        const std::string exchange = kExchangeMultType, prefix = kPrefixMultType;
        EXPECT_EQ(BreakdownValue(post, BreakdownKind::qso, band, nullptr), r.qsos);
        EXPECT_EQ(BreakdownValue(post, BreakdownKind::point, band, nullptr), r.points);
        EXPECT_EQ(BreakdownValue(post, BreakdownKind::mult, band, &exchange), r.mults);
        EXPECT_EQ(BreakdownValue(post, BreakdownKind::mult, band, &prefix), r.prefixes);
    }
    EXPECT_EQ(post.score, score);
    EXPECT_EQ(BreakdownFault(post, true), "");
}

TEST(ScorePost, TheSampleLogsPostIsThePlugInsReportAndLeavesRemovedQsosOut) {
    const CountryFile cty = CountryFile::Parse(Slurp(CTY_DAT), CTY_DAT);
    const ReplayPlan plan = MakePlan(ReadLogFile(Slurp(SAMPLE_LOG), SAMPLE_LOG), cty, ReplayOptions{});
    ScratchDir dir;
    FakeEnv env;
    StdFiles files;
    StatsModule module(env, files);
    module.ResetStats0({"", 0, plan.myCall, plan.start, plan.end, plan.me.country, plan.me.continent});
    for (const PlannedQso& q : plan.qsos) module.AddData0(ArgsOf(plan, q));

    // The operator's header: categories, a club whose name needs escaping and holds
    // a byte that is not UTF-8, which the post must still carry as a well-formed text.
    CabrilloHeaderFields header;
    header.categoryPower = "LOW";
    header.club = "Uppsala <Radio> & \"DX\" Club \xE5";
    const auto post = [&] {
        module.GetResult0();
        const ContestState& s = module.state();
        const ScoreSheet sheet = ScoreLog(s.shared.log, s.workedBands, {s.myCountry, s.myContinent});
        return ReadScorePost(ScorePostXml(ClaimedScoreOf(sheet), header, plan.myCall, {2021, 3, 7, 23, 59, 30}));
    };

    const ScorePost first = post();
    ExpectPostIsReport(first, Rows(Slurp(std::string(REPLAY_TEST_DIR) + "/sample_output.txt")), 4523904);
    EXPECT_EQ(first.call, "SM5XYZ");
    EXPECT_EQ(first.contest, "VERDA-WW-DX CONTEST");
    EXPECT_EQ(first.club, "Uppsala <Radio> & \"DX\" Club ?");
    EXPECT_EQ(CategoryName(first.category), "SINGLE-OP NON-ASSISTED ALL LOW RTTY ONE");
    EXPECT_EQ(FormatUtc(first.timestamp), "2021-03-07 23:59:30");

    // The host deletes a QSO: the next post counts it no more, as the report does.
    const PlannedQso& removed = plan.qsos[100];
    module.RemoveData0(ArgsOf(plan, removed));
    const std::vector<ReportRow> after = Rows(module.GetResult0());
    const ScorePost second = post();
    ExpectPostIsReport(second, after, module.state().claimedScore);
    EXPECT_EQ(BreakdownValue(second, BreakdownKind::qso, "total", nullptr), 1463);
}

}  // namespace
