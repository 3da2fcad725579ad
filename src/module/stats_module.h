// StatsModule: the plug-in behind the eleven exports, with the host's raw
// arguments already decoded. Portable; the DLL owns one instance.
#pragma once

#include "contest/contest_state.h"
#include "contest/intake.h"
#include "contest/reset.h"
#include "contest/call_check.h"
#include "module/live_score.h"
#include "ui/window_state.h"

class Env;

// ResetStats0's steps in order on `state`: the new pass's state, its bad-QSO file,
// the Cabrillo header when asked for, and the windows' start. Returns 1.
int ResetStats(ContestState& state, Env& env, Files& files, const ResetArgs& args);

class StatsModule {
public:
    // `live`: the sender of live score posts, or null for none.
    StatsModule(Env& env, Files& files, LiveScoreSender* live = nullptr) : env_(env), files_(files), live_(live) {}
    StatsModule(const StatsModule&) = delete;
    StatsModule& operator=(const StatsModule&) = delete;

    int ResetStats0(const ResetArgs& args);
    int AddData0(const QsoArgs& qso);
    int RemoveData0(const QsoArgs& qso);
    int CheckCall0(const CheckArgs& args);
    int IsValidExchg0(std::string_view exchange);
    const char* GetResult0();
    static const char* GetSetName(int set);
    void SetupSet0();
    unsigned SetVersion();

    // Value the export returns when CheckCall0 fails unexpectedly.
    int CheckCallFailValue() const { return CheckFailValue(state_); }

    ContestState& state() { return state_; }

    // The operator windows' state; the window thread works on it, CheckCall0 uses
    // its latch so that one update runs at a time and at most one more waits.
    WindowState windows;

private:
    void OfferLiveScore(const ScoreSheet& sheet);

    Env& env_;
    Files& files_;
    LiveScoreSender* live_;
    ContestState state_;
};
