#include "contest/intake.h"

#include <gtest/gtest.h>

#include "base/std_files.h"

#include "fake_env.h"
#include "module/stats_module.h"
#include "test_qso.h"

namespace {

StdFiles files;  // the real file system, under the scratch folder

using Qso = TestQso;

class IntakeTest : public ::testing::Test {
protected:
    ScratchDir dir;
    FakeEnv env;
    ContestState state;
};

TEST_F(IntakeTest, StoredRecordCarriesTheHostsTexts) {
    Qso q;
    q.call = "OH2XX";
    q.country = "OH";
    q.prefix = "OH2";
    ASSERT_EQ(AddData(state, files, q.args()), IntakeVerdict::accepted);
    ASSERT_EQ(state.shared.log.size(), 1u);
    const CInfo& r = state.shared.log[0];
    EXPECT_EQ(r.call, "OH2XX");
    EXPECT_EQ(r.nordicPrefix, "OH2");
    EXPECT_EQ(r.multExch, "0042");
    EXPECT_EQ(r.exchRcvd, "0042");
    EXPECT_EQ(r.rstRcvd, "579");
    EXPECT_EQ(r.rstSent, "599");
    EXPECT_EQ(r.freqKHz, 14085);
    EXPECT_EQ(r.callArea, -1);
    EXPECT_EQ(r.dupe, 0);
    EXPECT_TRUE(SameTime(r.time, q.time));
}

TEST_F(IntakeTest, PrefixKeptOnlyForNordicBalticAndCallAreaForTheSeven) {
    Qso k;
    k.call = "K5ZD";
    k.country = "K";
    k.prefix = "K5";
    k.continent = "NA";
    AddData(state, files, k.args());
    EXPECT_EQ(state.shared.log[0].nordicPrefix, "");
    EXPECT_EQ(state.shared.log[0].areaK, 5);
    EXPECT_EQ(state.shared.log[0].callArea, 5);
}

TEST_F(IntakeTest, RejectedQsosAreNotStoredButAWorkedBandStillCounts) {
    Qso wrongBand;
    wrongBand.band = "30m";
    EXPECT_EQ(AddData(state, files, wrongBand.args()), IntakeVerdict::wrongBand);
    Qso wrongMode;
    wrongMode.band = "40m";
    wrongMode.mode = "PSK31";
    EXPECT_EQ(AddData(state, files, wrongMode.args()), IntakeVerdict::wrongMode);
    Qso noNumber;
    noNumber.band = "15m";
    noNumber.exchSent = "";
    EXPECT_EQ(AddData(state, files, noNumber.args()), IntakeVerdict::noRxNumber);
    EXPECT_TRUE(state.shared.log.empty());
    EXPECT_EQ(state.workedBands, (TextList{"40m", "15m"}));
}

TEST_F(IntakeTest, TheFirstFailingTestDecidesAndOnlyAQsoThatPassesThemAllIsADupe) {
    Qso q{.band = "30m", .mode = "CW", .exchRcvd = ""};
    EXPECT_EQ(AddData(state, files, q.args()), IntakeVerdict::wrongBand);
    q.band = "20m";
    EXPECT_EQ(AddData(state, files, q.args()), IntakeVerdict::wrongMode);
    q.mode = "RTTY";
    EXPECT_EQ(AddData(state, files, q.args()), IntakeVerdict::noRxNumber);
    q.exchRcvd = "0042";
    EXPECT_EQ(AddData(state, files, q.args()), IntakeVerdict::accepted);
    q.exchSent = "";  // the same call, band and mode again, but no number
    EXPECT_EQ(AddData(state, files, q.args()), IntakeVerdict::noRxNumber);
    q.exchSent = "0001";
    EXPECT_EQ(AddData(state, files, q.args()), IntakeVerdict::dupe);
    EXPECT_EQ(state.shared.log.size(), 2u);
}

TEST_F(IntakeTest, RemovingTheLastQsoEmptiesThePerBandLists) {
    Qso a;
    AddData(state, files, a.args());
    state.shared.multExchByBand[3] = {"0042"};
    state.shared.nordicByBand[2] = {"SM5"};
    Qso other = a;
    other.call = "DL2XX";
    RemoveData(state, files, other.args());
    EXPECT_EQ(state.shared.multExchByBand[3].size(), 1u);  // log not empty yet
    RemoveData(state, files, a.args());
    EXPECT_TRUE(state.shared.log.empty());
    EXPECT_TRUE(state.shared.multExchByBand[3].empty());
    EXPECT_TRUE(state.shared.nordicByBand[2].empty());
}

TEST_F(IntakeTest, RemovalAsksTheOpenWindowsToRefresh) {
    StatsModule module(env, files);
    Qso a;
    module.RemoveData0(a.args());
    EXPECT_EQ(env.posts, 0);
    env.windowsOpen = true;
    module.RemoveData0(a.args());
    EXPECT_EQ(env.posts, 1);
}

}  // namespace
