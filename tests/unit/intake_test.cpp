#include "contest/intake.h"

#include <gtest/gtest.h>

#include "base/std_files.h"

#include "fake_env.h"
#include "module/stats_module.h"

namespace {

StdFiles files;  // the real file system, under the scratch folder

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
    ASSERT_EQ(AddData(state, files, q.args()), 1);
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
    EXPECT_EQ(AddData(state, files, wrongBand.args()), 0);
    Qso wrongMode;
    wrongMode.band = "40m";
    wrongMode.mode = "PSK31";
    EXPECT_EQ(AddData(state, files, wrongMode.args()), 0);
    Qso noNumber;
    noNumber.band = "15m";
    noNumber.exchSent = "";
    EXPECT_EQ(AddData(state, files, noNumber.args()), 0);
    EXPECT_TRUE(state.shared.log.empty());
    EXPECT_EQ(state.workedBands, (TextList{"40m", "15m"}));
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
