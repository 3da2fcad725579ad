// The host's thread and the window thread on the same contest state at once:
// intake, removal, results and resets against updates and drawing passes. Run
// under ThreadSanitizer (the native-tsan preset) it proves the shared lock covers
// every access; elsewhere it still catches crashes from invalidated iterators.
#include <atomic>
#include <fstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "base/std_files.h"

#include "fake_env.h"
#include "module/stats_module.h"
#include "contest/intake.h"
#include "contest/reset.h"
#include "contest/report.h"
#include "ui/info_pictures.h"
#include "ui/setup_logic.h"
#include "ui/update.h"
#include "window_fakes.h"

namespace {

StdFiles files;  // the real file system, under the scratch folder

const char* const kCalls[] = {"OH2BH", "ES1XX", "SM5ABC", "LA9XX", "DL1ABC", "K1XYZ"};
const char* const kCountries[] = {"OH", "ES", "SM", "LA", "DL", "K"};
const char* const kPrefixes[] = {"OH2", "ES1", "SM5", "LA9", "DL1", "K1"};
const double kFrequencies[] = {1830000, 3580000, 7040000, 14080000, 21080000, 28080000, 29100000};

QsoArgs Qso(int i) {
    static const char* const exchanges[] = {"0001", "0042", "0100", "0777", "1234"};
    const int who = i % 6;
    QsoArgs q;
    q.myCall = "SM5XYZ";
    q.call = kCalls[who];
    q.country = kCountries[who];
    q.prefix = kPrefixes[who];
    q.continent = who == 5 ? "NA" : "EU";
    q.band = g_bands[i % kBandCount];
    q.mode = "RTTY";
    q.exchRcvd = exchanges[i % 5];
    q.exchSent = "0001";
    q.time = FromCalendar(2021, 3, 6, 12, i % 60);
    return q;
}

TEST(WindowStress, HostChangesAndWindowPassesShareTheStateSafely) {
    ScratchDir dir;
    std::ofstream("Plugins/KOVAR.hlp") << "DL1ABC 12 0042\nOH2BH 7 0815\n";
    ContestState state;
    FakeEnv hostEnv, windowEnv;  // one each: the fakes are not thread-safe themselves
    WindowState ws;
    ResetArgs reset;
    reset.myCountry = "UA9";
    ResetStats(state, hostEnv, files, reset);

    std::atomic<bool> done{false};
    std::thread windowThread([&] {
        FakeHost host;
        FakeSurface surface;
        surface.open = {SideWindow::multiplier, SideWindow::prefix};
        LoadSetupFlags(ws, windowEnv);
        const Rect item{0, 0, 340, 175};
        for (int i = 0; !done; ++i) {
            host.fields[5] = i % 3 == 0 ? "" : kCalls[i % 6];
            host.frequency = kFrequencies[i % 7];
            RunUpdate(state.shared, ws, host, surface, windowEnv);
            PaintMultiplierButton(state.shared, ws, item, 96);
            PaintPrefixButton(state.shared, ws, item, 96);
            host.calls.clear();
        }
    });

    for (int i = 0; i < 2000; ++i) {
        AddData(state, files, Qso(i));
        if (i % 3 == 2) RemoveData(state, files, Qso(i - 1));
        if (i % 50 == 0) BuildResults(state);
        if (i % 997 == 0) ResetStats(state, hostEnv, files, reset);
        ws.updateLatch.exchange(0);  // as the call check does
    }
    done = true;
    windowThread.join();
}

}  // namespace
