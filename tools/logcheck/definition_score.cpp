#include "definition_score.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "logs/text.h"

std::int32_t FullPoints(const ContestDefinition& d, const ContestLogs& logs, const StationLog& log,
                        const CheckQso& q, const CallAnalyses& calls) {
    switch (d.pointsBy) {
        case PointsBy::qso: return d.qsoPoints;
        case PointsBy::band: return std::max(0, d.PointsOnBand(logs.bands.Text(q.band)));
        case PointsBy::region: {
            const CallAnalysis& me = calls.Of(log.callId);
            const CallAnalysis& them = calls.Of(q.call);
            if (!me.country.empty() && me.country == them.country) return d.sameCountryPoints;
            if (!me.continent.empty() && me.continent == them.continent) return d.sameContinentPoints;
            return d.otherPoints;
        }
    }
    return 0;
}

std::int64_t DefinitionScoreOf(const ContestDefinition& d, std::int64_t points, int multipliers) {
    return d.score == ScoreFormula::pointsTimesMultipliers ? points * multipliers : points;
}

ScoreFigures DefinitionScore(const ContestDefinition& d, const ContestLogs& logs, const StationLog& log,
                             const CallAnalyses& calls, const std::vector<QsoCredit>& credits) {
    ScoreFigures f;
    // Multiplier, scope (band and mode, either 0 where it does not count), value.
    std::set<std::array<std::uint32_t, 4>> seen;
    std::map<std::string, std::uint32_t> texts;  // countries and prefixes, as the set holds numbers
    const auto textId = [&texts](const std::string& t) {
        return texts.emplace(t, static_cast<std::uint32_t>(texts.size())).first->second;
    };
    for (std::size_t i = 0; i < log.qsos.size() && i < credits.size(); ++i) {
        const QsoCredit& c = credits[i];
        if (!c.counts) continue;
        const CheckQso& q = log.qsos[i];
        ++f.qsos;
        f.points += c.points;
        if (c.points <= 0) continue;  // a QSO that scores nothing brings no multiplier
        for (std::size_t m = 0; m < d.multipliers.size(); ++m) {
            const Multiplier& mult = d.multipliers[m];
            std::uint32_t value = 0;
            std::uint32_t valueKind = 0;
            if (mult.kind == MultiplierKind::field) {
                if (c.wrongFields & (1u << mult.field)) continue;
                value = q.rcvd[mult.field];
                const std::string& text = logs.values.Text(value);
                if (text.empty()) continue;
                if (!mult.values.empty() && std::find(mult.values.begin(), mult.values.end(), ToUpper(text)) == mult.values.end())
                    continue;
            } else {
                const CallAnalysis& a = calls.Of(q.call);
                const std::string& text = mult.kind == MultiplierKind::country ? a.country : a.prefix;
                if (text.empty()) continue;
                value = textId(text);
                valueKind = 1;
            }
            const bool byBand = mult.per == MultiplierScope::band || mult.per == MultiplierScope::bandMode;
            const bool byMode = mult.per == MultiplierScope::mode || mult.per == MultiplierScope::bandMode;
            const std::uint32_t scope = (byBand ? q.band + 1u : 0u) << 16 | (byMode ? q.mode + 1u : 0u);
            if (seen.insert({static_cast<std::uint32_t>(m) << 1 | valueKind, scope, value, 0}).second) ++f.multipliers;
        }
    }
    f.score = DefinitionScoreOf(d, f.points, f.multipliers);
    return f;
}
