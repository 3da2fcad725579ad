// The sponsor's side of the logs: which came and which are missing, and "check
// now": logcheck's own check run on each call's latest upload, its files
// published in the data folder's checked/. Linux (it writes files).
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "contest_config.h"
#include "log_vault.h"
#include "score_store.h"

class CountryFile;

struct MissingLog {
    std::string call;
    int workedIn = 0;     // logs that hold a QSO with it
    bool posted = false;  // it posted live scores
};

struct LogsOverview {
    std::map<std::string, std::vector<LogRecord>> byCategory;  // each call's latest upload
    std::int64_t uploads = 0;                                   // every version counted
    std::vector<MissingLog> missing;                            // most worked first
};

class ContestCheck {
public:
    // `folder`: where the check's files go, made when missing.
    ContestCheck(ScoreStore& store, const LogVault& vault, const ContestConfig& config, const CountryFile& cty,
                 std::string folder);

    LogsOverview Overview();
    // Checks the latest upload of every call, writes the files (logs/ as checked,
    // reports/, verdicts.csv, results.csv, results.html) and returns logcheck's
    // summary. One check at a time; throws StoreError when a file cannot be had.
    std::string CheckNow();
    // A published file: "results.html", "results.csv", "verdicts.csv"; empty before a check.
    std::optional<std::string> Published(const std::string& name) const;
    // A call's checking report of the last check; empty when it had none.
    std::optional<std::string> ReportOf(const std::string& call) const;
    // The name a call's log has in the checked folder: as logcheck names its report, ".log".
    static std::string CheckedName(const std::string& call);

private:
    std::vector<std::pair<std::string, std::string>> CurrentFiles();

    ScoreStore& store_;
    const LogVault& vault_;
    const ContestConfig& config_;
    const CountryFile& cty_;
    std::string folder_;
    std::mutex checkLock_;
};
