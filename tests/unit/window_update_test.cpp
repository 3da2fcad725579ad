// The window update, the setup window's settings and the call-history lookup,
// over fakes of the host and the side windows.
#include "ui/update.h"

#include <cmath>

#include <gtest/gtest.h>

#include "fake_env.h"
#include "base/std_files.h"
#include "module/stats_module.h"
#include "ui/call_history.h"
#include "ui/setup_logic.h"
#include "window_fakes.h"

namespace {

CInfo Record(const char* call, const char* band, const char* exch, int hour, int minute) {
    CInfo r;
    r.call = call;
    r.band = band;
    r.mode = "RTTY";
    r.exchRcvd = exch;
    r.time = FromCalendar(2021, 3, 6, hour, minute);
    return r;
}

class UpdateTest : public ::testing::Test {
protected:
    ContestState state;
    WindowState ws;
    FakeHost host;
    FakeSurface surface;
    FakeEnv env;

    void SetUp() override {
        for (int i = 0; i < kBandCount; ++i) state.shared.bandRows[i] = {g_bands[i], "-", "-", "-", "-"};
        LoadSetupFlags(ws, env);
        ws.updateLatch = 0;  // as the call check leaves it
    }

    void Update() { RunUpdate(state.shared, ws, host, surface, env); }
};

TEST(CallHistory, MatchesTheWholeCallAndAnswersTheLastFourCharacters) {
    const TextList history{"DL1ABC 12 0042", "OH2XYZ 7 0815", "K1AB x"};
    EXPECT_EQ(LookupCallHistory(history, "OH2XYZ"), "0815");
    EXPECT_EQ(LookupCallHistory(history, "oh2xyz"), "");
    EXPECT_EQ(LookupCallHistory(history, "DL1AB"), "");
    EXPECT_EQ(LookupCallHistory(history, "K1AB"), "AB x");  // the line's end, whatever it holds
    EXPECT_EQ(LookupCallHistory({}, "DL1ABC"), "");
    // A line without a blank, or starting with one, ends the search.
    EXPECT_EQ(LookupCallHistory({"DL1ABC", "OH2XYZ 7 0815"}, "OH2XYZ"), "");
    EXPECT_EQ(LookupCallHistory({" DL1ABC 0042", "OH2XYZ 7 0815"}, "OH2XYZ"), "");
    EXPECT_EQ(LookupCallHistory({"A 12"}, "A"), "A 12");  // four characters or fewer: the whole line
}

TEST(BandMap, WholeMegahertzNameTheBand) {
    EXPECT_EQ(BandIndexOfFrequency(1830000), 0);
    EXPECT_EQ(BandIndexOfFrequency(3999999), 1);
    EXPECT_EQ(BandIndexOfFrequency(7000000), 2);
    EXPECT_EQ(BandIndexOfFrequency(14085000), 3);
    EXPECT_EQ(BandIndexOfFrequency(21080000), 4);
    EXPECT_EQ(BandIndexOfFrequency(28999999), 5);
    for (double f : {0.0, 999999.0, 2000000.0, 10140000.0, 29100000.0, -14000000.0, double(NAN), double(INFINITY), 1e300})
        EXPECT_EQ(BandIndexOfFrequency(f), -1) << f;
}

TEST_F(UpdateTest, WithoutAHostItOnlyReopensTheWantedWindowsAndReleasesTheLatch) {
    host.connected = false;
    ws.showMultiplier = 1;
    Update();
    EXPECT_TRUE(surface.IsOpen(SideWindow::multiplier));
    EXPECT_FALSE(surface.IsOpen(SideWindow::prefix));
    EXPECT_EQ(surface.captions[SideWindow::multiplier], (std::vector<std::string>{"Working mult"}));
    EXPECT_EQ(env.settingWrites, (std::vector<std::string>{"setup_view_pref=1"}));
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(ws.updateLatch, 1);

    Update();  // already open: not opened twice
    EXPECT_EQ(surface.opens[SideWindow::multiplier], 1);
}

TEST_F(UpdateTest, RowsShowTheLastQsoWithTheCallOnEachBand) {
    state.shared.log = {Record("DL1ABC", "20m", "0042", 12, 0), Record("OH2XX", "20m", "0007", 12, 10),
                 Record("DL1ABC", "20m", "0043", 12, 30), Record("DL1ABC", "40m", "0044", 13, 5),
                 Record("DL1ABC", "20M", "0045", 13, 10)};  // band texts compare exactly
    surface.open = {SideWindow::prefix};
    host.fields[5] = "DL1ABC";
    host.fields[9] = "599";
    Update();
    EXPECT_EQ(state.shared.bandRows[3], (TextList{"20m", "RTTY", "12:30", "0043", "   -"}));
    EXPECT_EQ(state.shared.bandRows[2], (TextList{"40m", "RTTY", "13:05", "0044", "   -"}));
    EXPECT_EQ(state.shared.bandRows[1], (TextList{"80m", "   -", "   -", "   -", "   -"}));
    EXPECT_EQ(surface.captions[SideWindow::prefix],
              (std::vector<std::string>{"Working Prefix", "Previous QSO with DL1ABC "}));

    // An empty call clears the rows again and keeps the plain caption.
    host.fields[5] = "";
    Update();
    EXPECT_EQ(state.shared.bandRows[3], (TextList{"20m", "   -", "   -", "   -", "   -"}));
    EXPECT_EQ(surface.Last(SideWindow::prefix), "Working Prefix");
}

TEST_F(UpdateTest, AHostErrorEndsTheUpdateButReleasesTheLatch) {
    surface.open = {SideWindow::multiplier};
    host.fields[5] = "DL1ABC";
    host.frequency = 14070000;
    for (const char* failing : {"get 5", "get 9", "set 6 ", "frequency", "run <SP1>"}) {
        host.calls.clear();
        host.failOn = failing;
        ws.updateLatch = 0;
        ws.lastFrequency = 0;
        Update();
        EXPECT_EQ(host.calls.back(), failing);
        EXPECT_EQ(ws.updateLatch, 1) << failing;
        EXPECT_EQ(ws.bandIndex, -1) << failing;
    }
}

// Calls checked while an update runs are not lost: the update's end posts one
// more, which reads what changed meanwhile; a burst still costs one update.
TEST(UpdateLatch, CallsCheckedDuringAnUpdateGetOneMoreUpdateAfterIt) {
    FakeEnv env;
    env.windowsOpen = true;
    StdFiles files;
    StatsModule module(env, files);
    FakeHost host;
    FakeSurface surface;
    auto posted = [&] { return env.posts; };
    auto check = [&] { module.CheckCall0(CheckArgs{"DL1ABC", "RTTY", "", "DL", "EU", "20m", std::nullopt}); };
    auto update = [&] { RunUpdate(module.state().shared, module.windows, host, surface, env); };

    check();
    EXPECT_EQ(posted(), 1);
    check();  // the update has not ended: three keystrokes wait as one
    check();
    check();
    EXPECT_EQ(posted(), 1);
    update();
    EXPECT_EQ(posted(), 2);
    update();  // nothing asked meanwhile
    EXPECT_EQ(posted(), 2);
    EXPECT_EQ(module.windows.updateLatch, 1);
    check();
    EXPECT_EQ(posted(), 3);
}

TEST(SetupSettings, PositionsDefaultAndAreWrittenOnlyWhenTheyChange) {
    FakeEnv env;
    WindowState ws;
    Position p = LoadPosition(ws, env, PlacedWindow::setup, 96);
    EXPECT_EQ(p.left, 10);
    EXPECT_EQ(p.top, 400);
    env.settings["dxcc_x"] = "0";  // a stored 0 counts as none
    env.settings["dxcc_y"] = "-20";
    p = LoadPosition(ws, env, PlacedWindow::multiplier, 96);
    EXPECT_EQ(p.left, 10);
    EXPECT_EQ(p.top, -20);
    env.settings["prev_x"] = "99999999999";  // clamped, not overflowed
    EXPECT_EQ(LoadPosition(ws, env, PlacedWindow::prefix, 96).left, 2147483647);

    // One pair for all three windows: only what differs from the last store is written.
    ws.lastLeft = 10;
    ws.lastTop = 400;
    env.settingWrites.clear();
    SavePosition(ws, env, PlacedWindow::prefix, 10, 300, 96);
    SavePosition(ws, env, PlacedWindow::multiplier, 50, 300, 96);
    SavePosition(ws, env, PlacedWindow::setup, 50, 300, 96);
    EXPECT_EQ(env.settingWrites, (std::vector<std::string>{"prev_y=300", "dxcc_x=50"}));
}

TEST(SetupSettings, PositionsAreStoredIn96DpiPixelsSoTheyKeepTheirPlaceWhenTheScalingChanges) {
    FakeEnv env;
    WindowState ws;
    env.settings["setup_x"] = "200";
    env.settings["setup_y"] = "101";
    Position p = LoadPosition(ws, env, PlacedWindow::setup, 144);
    EXPECT_EQ(p.left, 300);
    EXPECT_EQ(p.top, 152);  // 151.5, rounded as MulDiv rounds
    EXPECT_EQ(LoadPosition(ws, env, PlacedWindow::multiplier, 144).top, 600);  // the default, scaled

    // Put back where it was read: nothing to write; moved by a pixel at 192 DPI:
    // still the same 96-DPI pixel.
    LoadPosition(ws, env, PlacedWindow::setup, 144);
    env.settingWrites.clear();
    SavePosition(ws, env, PlacedWindow::setup, 300, 152, 144);
    SavePosition(ws, env, PlacedWindow::setup, 399, 201, 192);
    EXPECT_TRUE(env.settingWrites.empty());
    SavePosition(ws, env, PlacedWindow::setup, 450, 600, 144);
    EXPECT_EQ(env.settingWrites, (std::vector<std::string>{"setup_x=300", "setup_y=400"}));
}

}  // namespace
