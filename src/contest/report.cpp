#include "contest/report.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/html_text.h"  // the own call goes into markup as text
#include "contest/writer.h"
#include "contest/bad_qso_file.h"
#include "contest/contest_rules.h"
#include "contest/scoring.h"

namespace {

constexpr const char* kHtmlHead =
    "<html><head><style>table{ width:100%; }table, th, td{ border: 1px solid black; border-collapse: collapse; }"
    "th, td{ padding: 1px; text-align: middle; }th,td{ background-color: #fffac6; color: black; }</style></head>"
    "<body>";
constexpr const char* kHtmlBandRow =
    "<tr><th><center>%s</center></th><td><center>%i</center></td><td><center>%i</center></td>"
    "<td><center>%i</center></td><td><center>%i</center></td></tr>";
constexpr const char* kHtmlCountRow = "<tr><th><center>%s</center></th><td><center>%i</center></td><td colspan=7> </td></tr>";
constexpr const char* kHtmlRateRow = "<tr><th>%s</th><td colspan=6><center>%5i /%i</center></td></tr>";
constexpr const char* kTextBandRow = "%s\t %i\t  %i\t  %i\t  %i\r\n";

constexpr double kHalfSecondInDays = 5.787037037037037e-6;

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void AppendF(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length > 0) {
        const std::size_t at = out.size();
        out.resize(at + static_cast<std::size_t>(length) + 1);
        std::vsnprintf(out.data() + at, static_cast<std::size_t>(length) + 1, format, args);
        out.resize(at + static_cast<std::size_t>(length));
    }
    va_end(args);
}


// Whole minutes from a QSO to the reference time; the span is moved half a second
// away from zero first, so a QSO 59 min 59.6 s back is a full hour old. Kept in
// floating point so that nonsense times cannot overflow an integer.
double WholeMinutesBefore(double reference, double qso) {
    double span = reference - qso;
    span += span >= 0.0 ? kHalfSecondInDays : -kHalfSecondInDays;
    return std::trunc(span * 1440.0);
}

void AppendHead(std::string& out, const ContestState& state, bool html) {
    if (html) {
        std::string title;
        AppendF(title, "   VERDA-WW-DX-Contest %s-%s", state.startText.c_str(), state.endText.c_str());
        out += kHtmlHead;
        AppendF(out, "<center><b>%s</b></center><center>Contestant:  <b>%s</center></b><table>", title.c_str(),
                HtmlText(state.myCall).c_str());
        AppendF(out, "<tr><th>%s</th><th>%s</th><th>%s</th><th>%s</th><th>%s</th></tr>", "Band", "QSOs", "Points",
                "Mult", "Prefix");
    } else {
        AppendF(out, "  VERDA-WW-DX-Contest %s-%s \r\n            Contestant: %s\r\nBand\tQSOs\tPoints\tMult\tPrefix\r\n",
                state.startText.c_str(), state.endText.c_str(), state.myCall.c_str());
    }
}

void AppendBandRows(std::string& out, const ScoreSheet& sheet, bool html) {
    for (const auto& f : sheet.bands) {
        if (html)
            AppendF(out, kHtmlBandRow, HtmlText(f.band).c_str(), f.qsos, f.points, f.exchangeMults, f.prefixMults);
        else
            AppendF(out, kTextBandRow, f.band.c_str(), f.qsos, f.points, f.exchangeMults, f.prefixMults);
    }
}

void AppendTextTail(std::string& out, const ContestState& state, const ScoreSheet& s, const RateFigures& r) {
    state.shared.lock.AssertWriterReads();
    const std::string score = std::to_string(s.score);
    AppendF(out, "Total\t %i\t  %i\t  %i\t  %i\r\nDupe\t %i\r\nBad QSO\t %i\r\n\r\nScore = %i * (%i + %i)  = %s \r\n",
            s.qsos, s.points, s.exchangeMults, s.prefixMults, s.dupes, state.badQsoCount, s.points, s.exchangeMults,
            s.prefixMults, score.c_str());
    if (state.makeCabrillo != 0 || state.shared.log.empty()) return;
    AppendF(out,
            "\r\n\t\t\tRate\r\nHourly (10min) QSO rate: %5i (%i) QSOs/hour\r\nHourly (10min) pts rate: %5i (%i) "
            "points/hour\r\n\r\nLast QSO: %i points\r\n\r\n",
            r.hourQsos, 6 * r.tenMinuteQsos, r.hourPoints, 6 * r.tenMinutePoints, r.lastQsoPoints);
    out += kCreditLine;
}

void AppendHtmlTail(std::string& out, const ContestState& state, const ScoreSheet& s, const RateFigures& r) {
    const std::string score = std::to_string(s.score);
    AppendF(out, kHtmlBandRow, "Total", s.qsos, s.points, s.exchangeMults, s.prefixMults);
    AppendF(out, kHtmlCountRow, "Dupe", s.dupes);
    AppendF(out, kHtmlCountRow, "Bad QSO", state.badQsoCount);
    AppendF(out, "<tr><th>%s</th><td colspan=8><center>%i * (%i + %i)  = %s</center></td></tr>", "Score:", s.points,
            s.exchangeMults, s.prefixMults, score.c_str());
    AppendF(out, "<tr><th>%s</th><td colspan=5><center>%5i</center> </td></tr>", "Last QSO points:", r.lastQsoPoints);
    AppendF(out, "<th colspan=6><center>%s</center></th></tr>", "Rate");
    AppendF(out, kHtmlRateRow, "Hourly (10min/1 hour) QSO rate:", r.hourQsos, 6 * r.tenMinuteQsos);
    AppendF(out, kHtmlRateRow, "Hourly (10min/1 hour) pts rate:", r.hourPoints, 6 * r.tenMinutePoints);
    out += "</table><h6 align=right>";
    out += kCreditLine;
    out += "</h6></body></html>";
}

}  // namespace

namespace {

// The rates and the last QSO's points, counted record by record in log order.
class RateCounter {
public:
    explicit RateCounter(const ContestState& state)
        : withRates_(state.makeCabrillo == 0),
          reference_(withRates_ && state.shared.log.size() > 1 ? state.shared.log.back().time.value : 0.0),
          lastBand_(state.shared.log.back().band),
          own_{state.myCountry, state.myContinent} {}

    // A counted record whose band is listed `listed` times; it counts once for each.
    void Count(const CInfo& r, int bandIndex, int listed) {
        const int points = PointsOnBand(bandIndex, r, own_, true);
        if (r.band == lastBand_) figures.lastQsoPoints = points;
        if (!withRates_) return;
        const double minutes = WholeMinutesBefore(reference_, r.time.value);
        if (minutes < 60.0) {
            figures.hourQsos += listed;
            figures.hourPoints += listed * points;
        }
        if (minutes < 10.0) {
            figures.tenMinuteQsos += listed;
            figures.tenMinutePoints += listed * points;
        }
    }

    RateFigures figures;

private:
    bool withRates_;
    double reference_;
    const std::string& lastBand_;
    OwnStation own_;
};

}  // namespace

RateFigures ComputeRates(const ContestState& state) {
    state.shared.lock.AssertWriterReads();
    if (state.shared.log.empty()) return {};
    RateCounter counter(state);
    BandLookup bands(state.workedBands);
    std::vector<int> bandIndex;
    for (const auto& band : state.workedBands) bandIndex.push_back(g_bands.IndexOf(band));
    for (const auto& r : state.shared.log) {
        if (r.call.empty() || r.notCounted != 0) continue;
        const std::size_t at = bands.FirstOf(r.band);
        if (at != BandLookup::npos) counter.Count(r, bandIndex[at], bands.TimesListed(at));
    }
    return counter.figures;
}

namespace {

// The windows show these lists: they change under the lock.
void PublishBandMultipliers(ContestState& state, ScoreSheet& sheet) {
    MutexLock lock(state.shared.lock);
    StoreBandMultipliers(sheet, state.shared.multExchByBand, state.shared.nordicByBand);
}

}  // namespace

const std::string& BuildResults(ContestState& state, ScoreSheet* figures) {
    state.shared.lock.AssertWriterReads();  // the results call runs on the host's thread
    const bool html = state.htmlResults != 0;
    std::string out;
    AppendHead(out, state, html);

    SortBands(state.workedBands);

    // The rates ride along the scoring's walk: one pass over the log.
    std::optional<RateCounter> rates;
    if (!state.shared.log.empty()) rates.emplace(state);
    ScoreSheet sheet = ScoreLog(state.shared.log, state.workedBands, OwnStation{state.myCountry, state.myContinent},
                                      [&rates](const CInfo& r, int bandIndex, int listed) {
                                          if (rates) rates->Count(r, bandIndex, listed);
                                      });
    PublishBandMultipliers(state, sheet);

    AppendBandRows(out, sheet, html);
    if (html)
        AppendHtmlTail(out, state, sheet, rates ? rates->figures : RateFigures{});
    else
        AppendTextTail(out, state, sheet, rates ? rates->figures : RateFigures{});
    state.resultText = std::move(out);

    state.claimedScore = sheet.score;
    if (figures) *figures = std::move(sheet);
    return state.resultText;
}
