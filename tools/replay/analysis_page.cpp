#include "analysis_page.h"

#include <cstdio>

#include "contest/report.h"
#include "svg_chart.h"
#include "logs/text.h"

namespace {

using Row = std::vector<std::string>;

constexpr const char* kStyle =
    "body{font:13px sans-serif;margin:16px;color:#111}h1{font-size:20px}h2{font-size:16px;margin-top:28px;"
    "border-bottom:1px solid #999}h3{font-size:14px}table{border-collapse:collapse;margin:6px 0}"
    "th,td{border:1px solid #aaa;padding:2px 6px;text-align:right}th:first-child,td:first-child{text-align:left}"
    "th{background:#eef}.figure{display:flex;flex-wrap:wrap;gap:16px;align-items:flex-start;break-inside:avoid}"
    "svg.chart{width:640px;max-width:100%;font-size:10px}.numbers{font-size:11px;max-height:420px;overflow:auto}"
    "p.none{color:#555}@media print{.numbers{max-height:none;overflow:visible}h2{break-before:auto}}";

std::string E(const std::string& text) { return HtmlText(Printable(text)); }

std::string Table(const std::string& id, const Row& head, const std::vector<Row>& rows) {
    std::string out = "<table" + (id.empty() ? std::string() : " id=\"" + id + "\"") + ">";
    if (!head.empty()) {
        out += "<tr>";
        for (const auto& h : head) out += "<th>" + E(h) + "</th>";
        out += "</tr>";
    }
    for (const auto& r : rows) {
        out += "<tr>";
        for (const auto& c : r) out += "<td>" + E(c) + "</td>";
        out += "</tr>";
    }
    return out + "</table>";
}

std::string Figure(const std::string& svg, const std::string& table) {
    return "<div class=\"figure\">" + svg + "<div class=\"numbers\">" + table + "</div></div>";
}

std::string N(long long v) { return std::to_string(v); }

std::string Minutes(long long minutes) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", minutes / 60, minutes % 60);
    return text;
}

std::string When(const DateTime& t) { return FormatTime(t, "%Y-%m-%d %H%M"); }

int Total(const std::array<int, 4>& v) { return v[0] + v[1] + v[2] + v[3]; }

std::string Summary(const AnalysisInput& in) {
    const ReportFigures& r = in.report;
    std::vector<Row> rows;
    for (const auto& b : r.bands) {
        const LedgerBand* l = in.ledger.Band(b.band);
        rows.push_back({b.band, N(b.qsos), N(b.points), N(b.exchangeMults), N(b.prefixMults), N(l ? l->dupes : 0),
                        N(l ? l->rejected : 0)});
    }
    rows.push_back({"Total", N(r.total.qsos), N(r.total.points), N(r.total.exchangeMults), N(r.total.prefixMults),
                    N(r.dupes), N(r.badQsos)});
    std::string out = "<h2>Summary</h2><p>The plug-in's own report; dupes and bad QSOs by band from the ledger "
                      "(bad QSOs on bands outside the contest count in the total only).</p>";
    out += Table("summary", {"Band", "QSOs", "Points", "Mult", "Prefix", "Dupes", "Bad QSOs"}, rows);
    out += "<p id=\"claimed\">Claimed score: " + N(r.total.points) + " &times; (" + N(r.total.exchangeMults) + " + " +
           N(r.total.prefixMults) + ") = <b>" + N(r.score) + "</b></p>";

    const OperatingTime& t = in.analysis.time;
    out += "<h3>Operating time</h3>" +
           Table("operating", {},
                 {{"First QSO", When(t.first)},
                  {"Last QSO", When(t.last)},
                  {"Operating time (h:mm)", Minutes(t.operatingMinutes)},
                  {"Breaks of " + N(in.breakMinutes) + " minutes or more", N(static_cast<long long>(t.breaks.size()))},
                  {"Time off (h:mm)", Minutes(t.breakMinutes)}});
    std::vector<Row> breaks;
    for (const auto& b : t.breaks) breaks.push_back({When(b.from), When(b.to), Minutes(b.minutes)});
    if (!breaks.empty()) out += Table("breaks", {"Last QSO before", "First QSO after", "Break (h:mm)"}, breaks);
    return out;
}

std::string Rate(const AnalysisInput& in) {
    const Analysis& a = in.analysis;
    Chart qsos{"QSOs per clock hour, by band", {}, {}, "QSOs"}, points{"Points per clock hour", {}, {}, "points"};
    for (const auto& b : a.bands) qsos.series.push_back({b, {}});
    points.series.push_back({"points", {}});
    std::vector<Row> qsoRows, pointRows;
    for (const auto& h : a.hours) {
        qsos.categories.push_back(FormatTime(h.hour, "%H"));
        points.categories.push_back(FormatTime(h.hour, "%H"));
        Row row{FormatTime(h.hour, "%Y-%m-%d %H00")};
        int total = 0, pts = 0;
        for (std::size_t i = 0; i < a.bands.size(); ++i) {
            const auto q = h.qsos.find(a.bands[i]);
            const int n = q == h.qsos.end() ? 0 : q->second;
            const auto p = h.points.find(a.bands[i]);
            pts += p == h.points.end() ? 0 : p->second;
            qsos.series[i].values.push_back(n);
            row.push_back(N(n));
            total += n;
        }
        row.push_back(N(total));
        qsoRows.push_back(row);
        points.series[0].values.push_back(pts);
        pointRows.push_back({row[0], N(pts)});
    }
    Row head{"Hour (UTC)"};
    head.insert(head.end(), a.bands.begin(), a.bands.end());
    head.push_back("Total");
    std::string out = "<h2>Rate</h2>";
    out += Figure(StackedBars(qsos), Table("rate", head, qsoRows));
    const auto best = [](const BestRate& b, int minutes) {
        return Row{N(minutes) + " minutes", N(b.qsos), N(b.qsos * 60 / minutes),
                   b.qsos ? When(b.from) : "", b.qsos ? When(b.to) : ""};
    };
    out += "<h3>Best rates</h3>" +
           Table("best", {"Stretch", "QSOs", "QSOs/hour", "From", "To"}, {best(a.best10, 10), best(a.best60, 60)});
    out += Figure(StackedBars(points), Table("points-per-hour", {"Hour (UTC)", "Points"}, pointRows));
    return out;
}

std::string Progress(const AnalysisInput& in) {
    Chart score{"Claimed score at the end of each hour", {}, {{"claimed score", {}}}, "score"};
    Chart mults{"Multipliers at the end of each hour", {}, {{"Mult", {}}, {"Prefix", {}}}, "multipliers"};
    std::vector<Row> scoreRows, multRows;
    for (const auto& h : in.analysis.hours) {
        const std::string hour = FormatTime(h.hour, "%Y-%m-%d %H00");
        score.categories.push_back(FormatTime(h.hour, "%H"));
        mults.categories.push_back(FormatTime(h.hour, "%H"));
        score.series[0].values.push_back(static_cast<double>(h.score));
        mults.series[0].values.push_back(h.exchangeMults);
        mults.series[1].values.push_back(h.prefixMults);
        scoreRows.push_back({hour, N(h.score)});
        multRows.push_back({hour, N(h.exchangeMults), N(h.prefixMults)});
    }
    return "<h2>Progress</h2>" + Figure(Lines(score), Table("score-progress", {"Hour (UTC)", "Claimed score"}, scoreRows)) +
           Figure(Lines(mults), Table("mult-progress", {"Hour (UTC)", "Mult", "Prefix"}, multRows));
}

std::string Bands(const AnalysisInput& in) {
    const Analysis& a = in.analysis;
    static constexpr PointClass kClasses[] = {PointClass::nordicBaltic, PointClass::ownCountry,
                                              PointClass::ownContinent, PointClass::otherContinent};
    Chart time{"Time on each band", {}, {{"minutes", {}}}, "minutes"};
    Chart qsos{"QSOs per band by point class", {}, {}, "QSOs"}, points{"Points per band by point class", {}, {}, "points"};
    for (PointClass c : kClasses) {
        qsos.series.push_back({PointClassName(c), {}});
        points.series.push_back({PointClassName(c), {}});
    }
    std::vector<Row> timeRows, qsoRows, pointRows;
    for (const auto& b : a.bandActivity) {
        time.categories.push_back(b.band);
        qsos.categories.push_back(b.band);
        points.categories.push_back(b.band);
        time.series[0].values.push_back(b.minutes);
        timeRows.push_back({b.band, Minutes(b.minutes), N(Total(b.qsos))});
        Row q{b.band}, p{b.band};
        for (std::size_t c = 0; c < 4; ++c) {
            qsos.series[c].values.push_back(b.qsos[c]);
            points.series[c].values.push_back(b.points[c]);
            q.push_back(N(b.qsos[c]));
            p.push_back(N(b.points[c]));
        }
        q.push_back(N(Total(b.qsos)));
        p.push_back(N(Total(b.points)));
        qsoRows.push_back(q);
        pointRows.push_back(p);
    }
    Row head{"Band"};
    for (PointClass c : kClasses) head.push_back(PointClassName(c));
    head.push_back("Total");
    return "<h2>Bands and regions</h2><p id=\"band-changes\">Band changes: " + N(a.bandChanges) +
           "</p>" + Figure(StackedBars(time), Table("band-time", {"Band", "Time (h:mm)", "QSOs"}, timeRows)) +
           Figure(StackedBars(qsos), Table("class-qsos", head, qsoRows)) +
           Figure(StackedBars(points), Table("class-points", head, pointRows));
}

std::string CheckList(const std::string& id, const std::string& title, const std::vector<FlaggedQso>& list) {
    std::string out = "<h3>" + E(title) + ": " + N(static_cast<long long>(list.size())) + "</h3>";
    if (list.empty()) return out + "<p class=\"none\" id=\"" + id + "\">None.</p>";
    std::vector<Row> rows;
    for (const auto& f : list) rows.push_back({N(f.record), When(f.time), f.band, f.call, f.note});
    return out + Table(id, {"Record", "Time", "Band", "Call", ""}, rows);
}

std::string Checks(const AnalysisInput& in) {
    const LogChecks& c = in.checks;
    std::string out = "<h2>Log checks</h2>";
    out += CheckList("check-numbers", "Calls with different received numbers on different bands", c.differentNumbers);
    out += CheckList("check-digits", "Received exchanges that are not four digits", c.notFourDigits);
    out += CheckList("check-dupes", "Dupes", c.dupes);
    if (c.uniquesChecked)
        out += CheckList("check-uniques", "Unique calls not in MASTER.SCP (check these)", c.uniques);
    else
        out += "<h3>Unique calls</h3><p class=\"none\" id=\"check-uniques\">Not checked: no MASTER.SCP found.</p>";
    out += CheckList("check-period", "QSOs outside the contest period", c.outsidePeriod);
    return out;
}

}  // namespace

std::string AnalysisPage(const AnalysisInput& in) {
    const std::string title = "VERDA-WW-DX " + FormatTime(in.plan.start, "%Y") + ": " + in.plan.myCall;
    std::string out = "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\">"
                      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src "
                      "'unsafe-inline'\"><title>" +
                      E(title) + "</title><style>" + kStyle + "</style></head><body>";
    out += "<h1>" + E(title) + "</h1><p>Contest period " + When(in.plan.start) + " to " + When(in.plan.end) +
           " UTC; " + N(static_cast<long long>(in.ledger.rows.size())) + " QSOs handed to the plug-in.</p>";
    out += Summary(in) + Rate(in) + Progress(in) + Bands(in) + Checks(in);
    return out + "<p><small>Made by replay with " + E(kCreditLine) + "</small></p></body></html>\n";
}
