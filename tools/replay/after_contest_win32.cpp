#include "after_contest_win32.h"

#include <filesystem>
#include <stdexcept>

#include "analysis_page.h"
#include "text_files_win32.h"

namespace fs = std::filesystem;

void CheckAgainstReport(const Ledger& ledger, const std::string& report) {
    const auto differences = CompareWithReport(ledger, ParseReport(report));
    if (differences.empty()) return;
    // One line: the error printer shows control bytes, line breaks too, as codes.
    std::string message = "the ledger does not add up to the plug-in's report: ";
    for (std::size_t i = 0; i < differences.size(); ++i) message += (i ? "; " : "") + differences[i];
    throw std::runtime_error(message);
}

std::vector<std::pair<std::string, std::string>> WriteAfterContest(const ReplayOptions& options,
                                                                   const AfterContestFiles& files,
                                                                   const ReplayPlan& plan, const Ledger& ledger,
                                                                   const std::string& report,
                                                                   const std::unordered_set<std::string>* masterScp) {
    std::vector<std::pair<std::string, std::string>> written;
    if (!files.ledger.empty()) {
        if (!WriteWholeFile(files.ledger, LedgerCsv(ledger)))
            throw std::runtime_error(ToAnsi(options.ledgerFile) + ": cannot write the file");
        written.emplace_back("ledger", ToAnsi(options.ledgerFile));
    }
    if (!files.analysis.empty()) {
        const ReportFigures figures = ParseReport(report);
        std::vector<std::string> bandOrder;
        for (const auto& b : figures.bands) bandOrder.push_back(b.band);
        const Analysis analysis = Analyse(ledger, bandOrder, options.breakMinutes);
        const LogChecks checks = CheckLog(plan, ledger, masterScp);
        const std::string page = AnalysisPage({plan, ledger, figures, analysis, checks, options.breakMinutes});
        if (!WriteWholeFile(files.analysis, page))
            throw std::runtime_error(ToAnsi(options.analysisFile) + ": cannot write the file");
        written.emplace_back("analysis page", ToAnsi(options.analysisFile));
    }
    return written;
}

FolderChange::FolderChange(const std::wstring& folder) : previous_(fs::current_path().wstring()) {
    fs::create_directories(fs::path(folder) / L"Plugins");
    fs::current_path(folder);
}

FolderChange::~FolderChange() {
    std::error_code ec;
    fs::current_path(previous_, ec);
}
