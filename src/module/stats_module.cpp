#include "module/stats_module.h"

// The one place that sequences each export's effects; the contest code computes,
// the steps here act on files, settings and windows through Files and Env.
#include <string>

#include "base/env.h"
#include "base/settings.h"
#include "contest/bad_qso_file.h"
#include "contest/header.h"
#include "contest/report.h"
#include "contest/writer.h"
#include "ui/update.h"

namespace {

// "Start" = 1 keeps the next reset from opening the windows; that reset clears it.
void StartWindowsIfWanted(const ContestState& state, Env& env) {
    if (IsNonzeroNumber(env.ReadSetting(setting::kStart))) {
        env.WriteSetting(setting::kStart, "0");
        return;
    }
    if (env.WindowsOpen()) return;
    if (WindowsAllowedFor(state.hostVersion)) env.StartWindowThread();
    env.WriteSetting(setting::kStart, "1");
}

}  // namespace

int ResetStats(ContestState& state, Env& env, Files& files, const ResetArgs& args) {
    ResetLog(state, env, files, args);
    // The header dialog and the window start pump messages, through which the host
    // may call AddData0 again: its line must land in this pass's file, never the last.
    CreateBadQsoFile(files, state.badQsoPath);
    if (state.makeCabrillo != 0) {
        prepareCabrilloHeader(state, env, args.myCall);
        env.WriteSetting(setting::kStart, "1");
    }
    StartWindowsIfWanted(state, env);
    return 1;
}

// Every export but AddData0 first lets go of the bad-QSO file that a run of
// AddData0 calls keeps open: a reload writes through one open, and between QSOs
// the operator's programs may take the file to themselves.
int StatsModule::ResetStats0(const ResetArgs& args) {
    files_.CloseKept();
    if (live_) live_->Configure(ReadLiveScoreSettings(env_));
    return ResetStats(state_, env_, files_, args);
}

int StatsModule::AddData0(const QsoArgs& qso) { return Stored(AddData(state_, files_, qso)) ? 1 : 0; }

int StatsModule::RemoveData0(const QsoArgs& qso) {
    files_.CloseKept();
    const int result = RemoveData(state_, files_, qso);
    env_.PostUpdateWindows();
    return result;
}

int StatsModule::CheckCall0(const CheckArgs& args) {
    files_.CloseKept();
    // Every call asks for a refresh, whatever the verdict; the latch lets one
    // through at a time and keeps one more for when it ends.
    if (env_.WindowsOpen() && AskForUpdate(windows.updateLatch)) env_.PostUpdateWindows();
    return CheckCall(state_, args);
}

int StatsModule::IsValidExchg0(std::string_view exchange) {
    files_.CloseKept();
    return IsValidExchange(exchange);
}

// While posts are on: the score goes to the sender, and the report ends with
// what became of the last post.
void StatsModule::OfferLiveScore(const ScoreSheet& sheet) {
    if (!live_) return;
    const LiveScoreStatus status = live_->Status();
    if (!status.on) return;
    live_->Offer(LivePost{ClaimedScoreOf(sheet), state_.cabrillo, state_.myCall});
    const std::string line = LiveStatusLine(status, state_.htmlResults != 0);
    std::string& text = state_.resultText;
    const std::size_t end = state_.htmlResults != 0 ? text.rfind("</body>") : std::string::npos;
    text.insert(end == std::string::npos ? text.size() : end, line);
}

const char* StatsModule::GetResult0() {
    files_.CloseKept();
    state_.badQsoCount = CountRejectedLines(files_, state_.badQsoPath);
    ScoreSheet sheet;
    BuildResults(state_, &sheet);
    OfferLiveScore(sheet);
    env_.WriteSetting(setting::kClaimed, std::to_string(state_.claimedScore));
    if (state_.makeCabrillo != 0) env_.ShowMessage(ExportCabrilloLog(state_, files_), "Output", MessageIcon::information);
    return state_.resultText.c_str();
}

const char* StatsModule::GetSetName(int set) { return set == 0 ? "VERDA-WW-DX (C) " : ""; }

void StatsModule::SetupSet0() {
    files_.CloseKept();
    env_.ShowMessage("No additional setup for this plugin", "", MessageIcon::none);
}

unsigned StatsModule::SetVersion() {
    state_.htmlResults = 1;
    return 0;
}
