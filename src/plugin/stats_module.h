// StatsModule: the plug-in behind the eleven exports, with the host's raw
// arguments already decoded. Portable; the DLL owns one instance.
#pragma once

#include <atomic>

#include "log/contest_state.h"
#include "log/intake.h"
#include "log/reset.h"
#include "rules/call_check.h"

class Env;

class StatsModule {
public:
    explicit StatsModule(Env& env) : env_(env) {}
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

    // 1 = CheckCall0 may post a window update; the window thread sets it back to 1
    // when the update has run, so at most one is pending.
    std::atomic<int> updateLatch{1};

private:
    Env& env_;
    ContestState state_;
};
