#include "check_run.h"

#include <algorithm>

#include "parallel.h"

ContestLogs ReadContestLogs(std::size_t count, const std::function<ReadLog(std::size_t)>& read) {
    ContestLogs logs;
    constexpr std::size_t kBatch = 256;
    for (std::size_t from = 0; from < count; from += kBatch) {
        std::vector<ReadLog> batch(std::min(kBatch, count - from));
        ParallelFor(batch.size(), [&](std::size_t i) { batch[i] = read(from + i); });
        for (auto& r : batch) AddLog(logs, std::move(r));
    }
    return logs;
}

CheckedFiles CheckOutput(const ContestLogs& logs, const CheckResult& result, const CheckSettings& settings,
                         const std::string& folder) {
    CheckedFiles out;
    for (std::size_t l = 0; l < logs.logs.size(); ++l)
        out.reports.emplace_back(ReportName(logs.logs[l]), CheckingReport(logs, result, settings, l));
    out.verdicts = VerdictsCsv(logs, result, settings);
    out.resultsCsv = ResultsCsv(logs, result);
    out.resultsHtml = ResultsHtml(logs, result, "Checked results: " + folder);
    return out;
}
