// The plug-in's own results report read back into figures, and the ledger held
// against them. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Ledger;

struct ReportBand {
    std::string band;
    int qsos = 0, points = 0, exchangeMults = 0, prefixMults = 0;
};

struct ReportFigures {
    std::vector<ReportBand> bands;  // in the report's order
    ReportBand total;
    int dupes = 0, badQsos = 0;
    std::int64_t score = 0;
    bool complete = false;  // the band table, totals and score line were all found
};

// Reads either form of the report, plain text or HTML.
ReportFigures ParseReport(const std::string& report);

// One line per figure in which the ledger and the report differ, naming the band
// and both figures; empty when they agree.
std::vector<std::string> CompareWithReport(const Ledger& ledger, const ReportFigures& report);
