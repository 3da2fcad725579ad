// The checker's output, all views of one CheckResult: a checking report per
// log, verdicts.csv, the results table as CSV and as a page, and the console's
// summary. Portable.
#pragma once

#include <string>

#include "cross_check.h"

// The evidence of one QSO's verdict in words; empty for a plain match.
std::string EvidenceText(const ContestLogs& logs, const CheckResult& result, const CheckSettings& settings,
                         std::size_t log, std::size_t qso);

// The rule of the contest behind a verdict, named by its key in the definition
// file where one says it; empty for a plain match.
std::string RuleText(const CheckSettings& settings, const QsoCheck& v);

// The file name of a log's report: its call with '/' as '_', and ".txt".
std::string ReportName(const StationLog& log);
std::string CheckingReport(const ContestLogs& logs, const CheckResult& result, const CheckSettings& settings,
                           std::size_t log);

// One row per QSO line of every log (CR LF line ends), with its points in the
// claimed and the checked score and the rule behind its verdict.
std::string VerdictsCsv(const ContestLogs& logs, const CheckResult& result, const CheckSettings& settings);

// The results: by category (from the Cabrillo header), ranked by checked score,
// with the points each verdict class cost.
std::string ResultsCsv(const ContestLogs& logs, const CheckResult& result);
std::string ResultsHtml(const ContestLogs& logs, const CheckResult& result, const std::string& title);

// Logs, QSOs, each verdict's count, the logs with a clock offset, refused logs.
std::string ConsoleSummary(const ContestLogs& logs, const CheckResult& result);

// A log's category: its CATEGORY- tags' values joined by blanks, such as
// "SINGLE-OP ALL HIGH"; "(no category)" when it has none.
std::string CategoryOf(const StationLog& log);
