#include "plugin/stats_module.h"

#include "base/env.h"
#include "contest/report.h"

int StatsModule::ResetStats0(const ResetArgs& args) { return ResetStats(state_, env_, args); }

int StatsModule::AddData0(const QsoArgs& qso) { return AddData(state_, qso); }

int StatsModule::RemoveData0(const QsoArgs& qso) { return RemoveData(state_, env_, qso); }

int StatsModule::CheckCall0(const CheckArgs& args) {
    // Every call asks for a refresh, whatever the verdict; the latch lets one through at a time.
    if (env_.WindowsOpen() && windows.updateLatch.exchange(0) != 0) env_.PostUpdateWindows();
    return CheckCall(state_, args);
}

int StatsModule::IsValidExchg0(std::string_view exchange) { return IsValidExchange(exchange); }

const char* StatsModule::GetResult0() { return BuildResults(state_, env_).c_str(); }

const char* StatsModule::GetSetName(int set) { return set == 0 ? "VERDA-WW-DX (C) " : ""; }

void StatsModule::SetupSet0() { env_.ShowMessage("No additional setup for this plugin", "", MessageIcon::none); }

unsigned StatsModule::SetVersion() {
    state_.htmlResults = 1;
    return 0;
}
