#include "ui/update.h"

#include <cmath>
#include <string>

#include "base/date_time.h"
#include "base/env.h"
#include "base/settings.h"
#include "contest/contest_rules.h"
#include "ui/call_history.h"
#include "ui/ui_texts.h"

namespace {

constexpr int kCallField = 5;
constexpr int kHistoryField = 6;
constexpr int kExchangeField = 9;
constexpr double kRetuneHz = 300.0;
constexpr const char* kNoQso = "   -";
constexpr std::size_t kRowTexts = 5;  // band, mode, time, exchange, spare

struct LatchRelease {
    std::atomic<int>& latch;
    Env& env;
    ~LatchRelease() {
        if (FinishUpdate(latch)) env.PostUpdateWindows();
    }
};

void ReopenWantedWindows(WindowState& ws, WindowSurface& surface, Env& env, const UiTexts& t) {
    if (ws.showMultiplier && !surface.IsOpen(SideWindow::multiplier)) {
        surface.Open(SideWindow::multiplier);
        env.WriteSetting(setting::kShowMultiplier, "1");
        surface.SetCaption(SideWindow::multiplier, {std::string(t.workingMult), {}, {}});
    }
    if (ws.showPrefix && !surface.IsOpen(SideWindow::prefix)) {
        surface.Open(SideWindow::prefix);
        env.WriteSetting(setting::kShowPrefix, "1");
        surface.SetCaption(SideWindow::prefix, {std::string(t.workingPrefix), {}, {}});
    }
}

// Each row shows the last QSO with the call on its band, in log order.
void FillPreviousQsoRows(WindowShared& shared, const WindowState& ws) REQUIRES(shared.lock) {
    for (TextList& row : shared.bandRows) {
        if (row.size() < kRowTexts) row.resize(kRowTexts);
        for (std::size_t i = 1; i < kRowTexts; ++i) row[i] = kNoQso;
    }
    if (ws.currentCall.empty()) return;
    const std::size_t bands = std::min(ws.bandNames.size(), shared.bandRows.size());
    for (const CInfo& r : shared.log) {
        if (r.call != ws.currentCall) continue;
        for (std::size_t j = 0; j < bands; ++j) {
            if (r.band != ws.bandNames[j]) continue;
            TextList& row = shared.bandRows[j];
            row[1] = r.mode;
            row[2] = FormatTime(r.time, "%H:%M");
            row[3] = r.exchRcvd;
        }
    }
}

}  // namespace

bool AskForUpdate(std::atomic<int>& latch) {
    int seen = latch.load();
    for (;;) {
        if (seen == 2) return false;
        if (latch.compare_exchange_weak(seen, seen == 1 ? 0 : 2)) return seen == 1;
    }
}

bool FinishUpdate(std::atomic<int>& latch) {
    int seen = latch.load();
    for (;;)
        if (latch.compare_exchange_weak(seen, seen == 2 ? 0 : 1)) return seen == 2;
}

int BandIndexOfFrequency(double hertz) {
    if (!std::isfinite(hertz)) return -1;
    const double mhz = std::trunc(hertz / 1000000.0);
    for (int i = 0; i < kBandCount; ++i)
        if (mhz == kBandFacts[i].wholeMhz) return i;
    return -1;
}

void RunUpdate(WindowShared& shared, WindowState& ws, HostAutomation& host, WindowSurface& surface, Env& env) {
    LatchRelease release{ws.updateLatch, env};
    bool russian = false;
    {
        MutexLock lock(shared.lock);
        russian = shared.russianUi != 0;
    }
    const UiTexts& t = Texts(russian);
    ReopenWantedWindows(ws, surface, env, t);
    if (!host.Connected()) return;

    try {
        ws.currentCall = host.GetEntryField(kCallField);
        const std::string exchange = host.GetEntryField(kExchangeField);
        // A call of one or two characters is still being typed.
        if (ws.currentCall.size() == 1 || ws.currentCall.size() == 2) return;

        if (!ws.currentCall.empty() && exchange.empty()) {
            std::string known;
            {
                MutexLock lock(shared.lock);
                known = LookupCallHistory(shared.callHistory, ws.currentCall);
            }
            host.SetEntryField(kHistoryField, known);
        }

        {
            MutexLock lock(shared.lock);
            FillPreviousQsoRows(shared, ws);
        }
        if (surface.IsOpen(SideWindow::prefix)) {
            surface.SetCaption(SideWindow::prefix, {std::string(t.workingPrefix), {}, {}});
            if (!ws.currentCall.empty())
                surface.SetCaption(SideWindow::prefix, PreviousQsoCaption(russian, ws.currentCall));
            // The rows and the face follow the call even off the contest bands,
            // where the band step below asks for no repaint.
            surface.Repaint(SideWindow::prefix);
        }

        const double hertz = host.GetFrequency();
        if (std::fabs(hertz - ws.lastFrequency) > kRetuneHz) {
            host.RunCommand("<SP1>");
            ws.lastFrequency = hertz;
        }

        const int band = BandIndexOfFrequency(hertz);
        if (band < 0) return;
        ws.bandIndex = band;
        std::size_t mults = 0, prefixes = 0;
        {
            MutexLock lock(shared.lock);
            mults = shared.multExchByBand[static_cast<std::size_t>(band)].size();
            prefixes = shared.nordicByBand[static_cast<std::size_t>(band)].size();
        }
        const std::string& bandName = ws.bandNames.at(static_cast<std::size_t>(band));
        if (surface.IsOpen(SideWindow::multiplier)) {
            surface.SetCaption(SideWindow::multiplier, BandCaption(russian, SideWindow::multiplier, mults, bandName));
            surface.Repaint(SideWindow::multiplier);
        }
        if (surface.IsOpen(SideWindow::prefix)) {
            surface.SetCaption(SideWindow::prefix, BandCaption(russian, SideWindow::prefix, prefixes, bandName));
            surface.Repaint(SideWindow::prefix);
        }
    } catch (const HostError&) {
        // The host refused a call: this update ends here, the next one starts afresh.
    }
}
