// A whole check as logcheck runs it, for any program that holds a folder's logs:
// the logs read a batch at a time on every core, and every file of the output.
// Portable; the caller writes the files.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "check_report.h"

// Reads `count` logs through `read(i)` in that order, a batch at a time on every
// core, so that only a batch's QSOs are held twice.
ContestLogs ReadContestLogs(std::size_t count, const std::function<ReadLog(std::size_t)>& read);

// What a check writes: reports/NAME, verdicts.csv, results.csv, results.html.
struct CheckedFiles {
    std::vector<std::pair<std::string, std::string>> reports;  // ReportName, text
    std::string verdicts, resultsCsv, resultsHtml;
};
// `folder` is the name of the folder the logs came from, for the page's title.
CheckedFiles CheckOutput(const ContestLogs& logs, const CheckResult& result, const CheckSettings& settings,
                         const std::string& folder);
