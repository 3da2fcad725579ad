// The analysis page: one self-contained, printable HTML file with inline SVG
// charts, each followed by a table of its numbers. Portable.
#pragma once

#include <string>

#include "analysis.h"
#include "log_checks.h"
#include "report_figures.h"

struct AnalysisInput {
    const ReplayPlan& plan;
    const Ledger& ledger;
    const ReportFigures& report;  // the plug-in's own figures
    const Analysis& analysis;
    const LogChecks& checks;
    int breakMinutes = kDefaultBreakMinutes;
};

std::string AnalysisPage(const AnalysisInput& in);
