// What replay writes after the plug-in's report: the ledger and the analysis page,
// once the ledger is found to add up to the report.
#pragma once

#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "ledger.h"

// Throws std::runtime_error naming every band and figure in which the ledger and
// the plug-in's report differ.
void CheckAgainstReport(const Ledger& ledger, const std::string& report);

// Absolute paths, empty for a file not asked for.
struct AfterContestFiles {
    std::wstring analysis, ledger;
};

// Writes the files asked for; returns a (what, where) row for each for the list
// of files. A null `masterScp` leaves the unique-call check out of the page.
std::vector<std::pair<std::string, std::string>> WriteAfterContest(const ReplayOptions& options,
                                                                   const AfterContestFiles& files,
                                                                   const ReplayPlan& plan, const Ledger& ledger,
                                                                   const std::string& report,
                                                                   const std::unordered_set<std::string>* masterScp);

// Makes a folder (with its Plugins folder) the current one for its lifetime.
class FolderChange {
public:
    explicit FolderChange(const std::wstring& folder);
    ~FolderChange();
    FolderChange(const FolderChange&) = delete;
    FolderChange& operator=(const FolderChange&) = delete;

private:
    std::wstring previous_;
};
