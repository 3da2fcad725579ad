#include "live_scores.h"

#include <cmath>

#include "contest/score_post.h"

namespace {

// The header file's categories, club and operators, as the header dialog would take them.
CabrilloHeaderFields HeaderFields(const std::vector<HeaderValue>& values) {
    CabrilloHeaderFields h;
    for (const HeaderValue& v : values) {
        if (v.tag == "CATEGORY-OPERATOR" || v.tag == "CATEGORY") h.categoryOperator = v.text;
        else if (v.tag == "CATEGORY-ASSISTED") h.categoryAssisted = v.text;
        else if (v.tag == "CATEGORY-BAND") h.categoryBand = v.text;
        else if (v.tag == "CATEGORY-MODE") h.categoryMode = v.text;
        else if (v.tag == "CATEGORY-POWER") h.categoryPower = v.text;
        else if (v.tag == "CATEGORY-TRANSMITTER") h.categoryTransmitter = v.text;
        else if (v.tag == "CATEGORY-OVERLAY") h.categoryOverlay = v.text;
        else if (v.tag == "CLUB") h.club = v.text;
        else if (v.tag == "OPERATORS") h.operators = v.text;
    }
    return h;
}

}  // namespace

std::vector<LivePost> LivePosts(const ReplayPlan& plan, const Ledger& ledger, const std::vector<HeaderValue>& header,
                                int everyMinutes) {
    const CabrilloHeaderFields fields = HeaderFields(header);
    // The figures so far, band by band as the ledger names bands.
    ScoreSheet sheet;
    std::vector<LivePost> posts;
    const auto step = [&](std::size_t i) {
        const DateTime& t = ledger.rows[i].qso->time;
        return std::floor((t.value - plan.start.value) * 1440.0 / everyMinutes);
    };
    for (std::size_t i = 0; i < ledger.rows.size(); ++i) {
        const LedgerRow& row = ledger.rows[i];
        if (row.verdict == IntakeVerdict::accepted) {
            BandFigures* band = nullptr;
            for (BandFigures& b : sheet.bands)
                if (b.band == row.qso->band) band = &b;
            if (!band) {
                band = &sheet.bands.emplace_back();
                band->band = row.qso->band;
            }
            ++band->qsos;
            band->points += row.points;
            band->exchangeMults += row.newExchangeMult.empty() ? 0 : 1;
            band->prefixMults += row.newPrefixMult.empty() ? 0 : 1;
            ++sheet.qsos;
            sheet.points += row.points;
            sheet.exchangeMults += row.newExchangeMult.empty() ? 0 : 1;
            sheet.prefixMults += row.newPrefixMult.empty() ? 0 : 1;
        }
        sheet.score = row.score;
        CalendarTime at;
        if (!ToCalendar(row.qso->time, at)) continue;  // a QSO without a time cannot date a post
        if (i + 1 < ledger.rows.size() && step(i + 1) == step(i)) continue;
        posts.push_back({FormatTime(row.qso->time, "%Y-%m-%d %H:%M"),
                         ScorePostXml(ClaimedScoreOf(sheet), fields, plan.myCall, at)});
    }
    return posts;
}
