#include "station_score.h"

#include <algorithm>

#include "base/files.h"
#include "contest/intake.h"
#include "contest/scoring.h"
#include "parallel.h"

namespace {

// The bad-QSO file as the rule code writes it: only the last line matters, for
// its verdict.
class BadLineCatcher : public Files {
public:
    std::string last;
    ReadResult ReadWhole(const std::string&, std::string&) override { return ReadResult::missing; }
    bool Append(const std::string&, std::string_view bytes) override {
        last.assign(bytes);
        return true;
    }
    bool Create(const std::string&, std::string_view) override { return true; }
    bool ReplaceWhole(const std::string&, std::string_view) override { return true; }
};

Ruling RulingOf(const std::string& badLine) {
    if (badLine.find("WRONG BAND") != std::string::npos) return Ruling::wrongBand;
    if (badLine.find("WRONG MODE") != std::string::npos) return Ruling::wrongMode;
    return Ruling::noNumber;
}

}  // namespace

CallAnalyses::CallAnalyses(const ContestLogs& logs, const CountryFile& cty) : analyses_(logs.calls.size()) {
    ParallelFor(analyses_.size(), [&](std::size_t call) {
        analyses_[call] = AnalyseCall(cty, logs.calls.Text(static_cast<std::uint32_t>(call)));
    });
}

StationScore ScoreStation(const ContestLogs& logs, const StationLog& log, const CallAnalyses& calls,
                          const std::vector<bool>& handed, const std::vector<std::string>& contestModes) {
    ContestState state;
    BadLineCatcher files;
    state.badQsoPath = "bad";
    const CallAnalysis& me = calls.Of(log.callId);
    state.myCall = log.call;
    state.myCountry = me.country;
    state.myContinent = me.continent;
    const OwnStation own{state.myCountry, state.myContinent};

    StationScore out;
    out.rulings.assign(log.qsos.size(), Ruling::notHanded);
    out.points.assign(log.qsos.size(), 0);
    for (std::size_t i = 0; i < log.qsos.size(); ++i) {
        if (!handed.empty() && !handed[i]) continue;
        const CheckQso& q = log.qsos[i];
        const CallAnalysis& station = calls.Of(q.call);
        const std::string& mode = logs.modes.Text(q.mode);
        QsoArgs a;
        a.myCall = log.call;
        a.call = logs.calls.Text(q.call);
        a.time = q.time;
        const bool contestMode = std::find(contestModes.begin(), contestModes.end(), mode) != contestModes.end();
        a.mode = contestMode ? std::string_view("RTTY") : std::string_view(mode);
        a.rstSent = q.rstSent;
        a.rstRcvd = q.rstRcvd;
        a.exchSent = q.sent;
        a.exchRcvd = q.rcvd;
        a.prefix = station.prefix;
        a.country = station.country;
        a.continent = station.continent;
        a.band = logs.bands.Text(q.band);
        files.last.clear();
        if (AddData(state, files, a) == 0) {
            out.rulings[i] = RulingOf(files.last);
            continue;
        }
        const CInfo& r = state.shared.log.back();
        out.rulings[i] = r.dupe ? Ruling::dupe : Ruling::counted;
        if (!r.dupe) out.points[i] = QsoPoints(r.band, r, own);
    }
    const ScoreSheet sheet = ScoreLog(state.shared.log, state.workedBands, own);
    out.figures = {sheet.qsos, sheet.points, sheet.exchangeMults, sheet.prefixMults, sheet.dupes, sheet.score};
    return out;
}
