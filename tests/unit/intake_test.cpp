#include "contest/intake.h"

#include <gtest/gtest.h>

#include "fake_env.h"
#include "plugin/stats_module.h"

namespace {

struct Qso {
    std::string call = "DL1ABC", band = "20m", mode = "RTTY", exchRcvd = "0042", exchSent = "0001";
    std::string prefix = "DL1", country = "DL", continent = "EU";
    DateTime time = FromCalendar(2021, 3, 6, 12, 0, 0);
    unsigned freqHz = 14085999;

    QsoArgs args() const {
        QsoArgs q;
        q.myCall = "SM5XYZ";
        q.call = call;
        q.time = time;
        q.freqHz = freqHz;
        q.mode = mode;
        q.rstSent = "599";
        q.rstRcvd = "579";
        q.exchSent = exchSent;
        q.exchRcvd = exchRcvd;
        q.prefix = prefix;
        q.country = country;
        q.continent = continent;
        q.band = band;
        return q;
    }
};

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
    ASSERT_EQ(AddData(state, q.args()), 1);
    ASSERT_EQ(state.log.size(), 1u);
    const CInfo& r = state.log[0];
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
    AddData(state, k.args());
    EXPECT_EQ(state.log[0].nordicPrefix, "");
    EXPECT_EQ(state.log[0].areaK, 5);
    EXPECT_EQ(state.log[0].callArea, 5);
}

TEST_F(IntakeTest, RejectedQsosAreNotStoredButAWorkedBandStillCounts) {
    Qso wrongBand;
    wrongBand.band = "30m";
    EXPECT_EQ(AddData(state, wrongBand.args()), 0);
    Qso wrongMode;
    wrongMode.band = "40m";
    wrongMode.mode = "PSK31";
    EXPECT_EQ(AddData(state, wrongMode.args()), 0);
    Qso noNumber;
    noNumber.band = "15m";
    noNumber.exchSent = "";
    EXPECT_EQ(AddData(state, noNumber.args()), 0);
    EXPECT_TRUE(state.log.empty());
    EXPECT_EQ(state.workedBands, (TextList{"40m", "15m"}));
}

TEST_F(IntakeTest, RemovingTheLastQsoEmptiesThePerBandLists) {
    Qso a;
    AddData(state, a.args());
    state.multExchByBand[3] = {"0042"};
    state.nordicByBand[2] = {"SM5"};
    Qso other = a;
    other.call = "DL2XX";
    RemoveData(state, other.args());
    EXPECT_EQ(state.multExchByBand[3].size(), 1u);  // log not empty yet
    RemoveData(state, a.args());
    EXPECT_TRUE(state.log.empty());
    EXPECT_TRUE(state.multExchByBand[3].empty());
    EXPECT_TRUE(state.nordicByBand[2].empty());
}

TEST_F(IntakeTest, RemovalAsksTheOpenWindowsToRefresh) {
    StatsModule module(env);
    Qso a;
    module.RemoveData0(a.args());
    EXPECT_EQ(env.posts, 0);
    env.windowsOpen = true;
    module.RemoveData0(a.args());
    EXPECT_EQ(env.posts, 1);
}

}  // namespace
