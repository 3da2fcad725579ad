#include "report_figures.h"

#include <cstdlib>
#include <sstream>

#include "ledger.h"

namespace {

// The report's rows, as text lines or HTML table rows, with the markup taken out.
std::vector<std::vector<std::string>> Rows(const std::string& report) {
    std::string plain;
    bool inTag = false;
    for (std::size_t i = 0; i < report.size(); ++i) {
        const char c = report[i];
        if (c == '<') {
            if (report.compare(i, 4, "<tr>") == 0) plain += '\n';
            inTag = true;
        } else if (c == '>') {
            inTag = false;
            plain += ' ';
        } else if (!inTag) {
            plain += c == '\r' ? ' ' : c;
        }
    }
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(plain);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::vector<std::string> row;
        for (std::string w; words >> w;) row.push_back(w);
        if (!row.empty()) rows.push_back(std::move(row));
    }
    return rows;
}

bool Number(const std::string& text, std::int64_t& out) {
    if (text.empty() || text.size() > 18) return false;
    for (std::size_t i = text[0] == '-' ? 1 : 0; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    out = std::strtoll(text.c_str(), nullptr, 10);
    return text != "-";
}

void Compare(std::vector<std::string>& out, const std::string& band, const char* what, std::int64_t ledger,
             std::int64_t report) {
    if (ledger != report)
        out.push_back(band + ": " + what + " " + std::to_string(report) + " in the plug-in's report, " +
                      std::to_string(ledger) + " in the ledger");
}

}  // namespace

ReportFigures ParseReport(const std::string& report) {
    ReportFigures f;
    bool inTable = false, haveTotal = false, haveScore = false;
    for (const auto& row : Rows(report)) {
        if (row[0] == "Band" && row.size() == 5) {
            inTable = true;
            continue;
        }
        std::int64_t v[4] = {};
        if (inTable && row.size() == 5 && Number(row[1], v[0]) && Number(row[2], v[1]) && Number(row[3], v[2]) &&
            Number(row[4], v[3])) {
            ReportBand b{row[0], static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                         static_cast<int>(v[3])};
            if (row[0] == "Total") {
                f.total = b;
                haveTotal = true;
                inTable = false;
            } else {
                f.bands.push_back(b);
            }
            continue;
        }
        if (row[0] == "Dupe" && row.size() == 2 && Number(row[1], v[0])) f.dupes = static_cast<int>(v[0]);
        if (row.size() == 3 && row[0] == "Bad" && row[1] == "QSO" && Number(row[2], v[0]))
            f.badQsos = static_cast<int>(v[0]);
        if (row[0].rfind("Score", 0) == 0 && row.size() >= 3 && row[row.size() - 2] == "=" &&
            Number(row.back(), f.score))
            haveScore = true;
    }
    f.complete = haveTotal && haveScore;
    return f;
}

std::vector<std::string> CompareWithReport(const Ledger& ledger, const ReportFigures& report) {
    std::vector<std::string> out;
    if (!report.complete) return {"the plug-in's report has no band table or no score line"};
    ReportBand sum{"Total"};
    int dupes = 0;
    for (const auto& b : ledger.bands) {
        sum.qsos += b.qsos;
        sum.points += b.points;
        sum.exchangeMults += b.exchangeMults;
        sum.prefixMults += b.prefixMults;
        dupes += b.dupes;
        bool listed = false;
        for (const auto& r : report.bands) listed = listed || r.band == b.band;
        if (!listed && b.qsos + b.dupes > 0) out.push_back(b.band + ": in the ledger, not in the plug-in's report");
    }
    std::vector<ReportBand> rows = report.bands;
    rows.push_back(report.total);
    for (const auto& r : rows) {
        const LedgerBand* b = ledger.Band(r.band);
        const LedgerBand none{r.band};
        const LedgerBand& l = r.band == "Total" ? LedgerBand{"Total", sum.qsos, sum.points, sum.exchangeMults,
                                                             sum.prefixMults}
                                                : (b ? *b : none);
        Compare(out, r.band, "QSOs", l.qsos, r.qsos);
        Compare(out, r.band, "points", l.points, r.points);
        Compare(out, r.band, "exchange multipliers", l.exchangeMults, r.exchangeMults);
        Compare(out, r.band, "prefix multipliers", l.prefixMults, r.prefixMults);
    }
    Compare(out, "Total", "dupes", dupes, report.dupes);
    Compare(out, "Total", "claimed score", ledger.score, report.score);
    return out;
}
