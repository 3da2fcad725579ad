#include "station_score.h"

#include <algorithm>

#include "base/std_files.h"
#include "contest/intake.h"
#include "contest/scoring.h"
#include "parallel.h"

CallAnalyses::CallAnalyses(const ContestLogs& logs, const CountryFile& cty) : analyses_(logs.calls.size()) {
    ParallelFor(analyses_.size(), [&](std::size_t call) {
        analyses_[call] = AnalyseCall(cty, logs.calls.Text(static_cast<std::uint32_t>(call)));
    });
}

StationScore ScoreStation(const ContestLogs& logs, const StationLog& log, const CallAnalyses& calls,
                          const std::vector<bool>& handed, const std::vector<std::string>& contestModes,
                          const PluginExchange& exchange) {
    // No bad-QSO file (its name stays empty, so nothing is written): the verdicts
    // are what the checker needs.
    ContestState state;
    StdFiles files;
    const CallAnalysis& me = calls.Of(log.callId);
    state.myCall = log.call;
    state.myCountry = me.country;
    state.myContinent = me.continent;
    const OwnStation own{state.myCountry, state.myContinent};

    const auto Value = [&logs](std::uint32_t id) -> std::string_view { return logs.values.Text(id); };
    StationScore out;
    out.verdicts.assign(log.qsos.size(), std::nullopt);
    out.points.assign(log.qsos.size(), 0);
    for (std::size_t i = 0; i < log.qsos.size(); ++i) {
        if (!handed.empty() && !handed[i]) continue;
        const CheckQso& q = log.qsos[i];
        const CallAnalysis& station = calls.Of(q.call);
        const std::string& mode = logs.modes.Text(q.mode);
        const bool contestMode = std::find(contestModes.begin(), contestModes.end(), mode) != contestModes.end();
        const QsoArgs a{.myCall = log.call, .call = logs.calls.Text(q.call), .time = q.time,
                        .mode = contestMode ? std::string_view("RTTY") : std::string_view(mode),
                        .rstSent = exchange.rst < 0 ? std::string_view() : Value(q.sent[static_cast<std::size_t>(exchange.rst)]),
                        .rstRcvd = exchange.rst < 0 ? std::string_view() : Value(q.rcvd[static_cast<std::size_t>(exchange.rst)]),
                        .exchSent = Value(q.sent[exchange.number]), .exchRcvd = Value(q.rcvd[exchange.number]),
                        .prefix = station.prefix, .country = station.country, .continent = station.continent,
                        .band = logs.bands.Text(q.band)};
        const IntakeVerdict v = AddData(state, files, a);
        out.verdicts[i] = v;
        if (v == IntakeVerdict::accepted) {
            const CInfo& r = state.shared.log.back();
            out.points[i] = QsoPoints(r.band, r, own);
        }
    }
    const ScoreSheet sheet = ScoreLog(state.shared.log, state.workedBands, own);
    out.figures = {sheet.qsos,  sheet.points,        sheet.exchangeMults + sheet.prefixMults, sheet.dupes,
                   sheet.score, sheet.exchangeMults, sheet.prefixMults};
    return out;
}
