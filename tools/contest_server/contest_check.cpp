#include "contest_check.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <unordered_map>

#include "check_run.h"
#include "log_receipt.h"

namespace fs = std::filesystem;

namespace {

// Whole or not at all, as logcheck writes its files.
void Publish(const fs::path& path, const std::string& bytes) {
    fs::path part = path;
    part += ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) throw StoreError("cannot write " + path.string());
    }
    std::error_code error;
    fs::rename(part, path, error);
    if (error) throw StoreError("cannot write " + path.string() + " (" + error.message() + ")");
}

std::optional<std::string> ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

}  // namespace

ContestCheck::ContestCheck(ScoreStore& store, const LogVault& vault, const ContestConfig& config,
                           const CountryFile& cty, std::string folder)
    : store_(store), vault_(vault), config_(config), cty_(cty), folder_(std::move(folder)) {
    std::error_code error;
    fs::create_directories(fs::path(folder_) / "reports", error);
    if (error) throw StoreError(folder_ + ": cannot be made (" + error.message() + ")");
}

std::string ContestCheck::CheckedName(const std::string& call) {
    StationLog log;
    log.call = call;
    std::string name = ReportName(log);
    return name.substr(0, name.size() - 4) + ".log";
}

// Each call's latest file under its checked name, in the order logcheck reads a folder.
std::vector<std::pair<std::string, std::string>> ContestCheck::CurrentFiles() {
    std::vector<std::pair<std::string, std::string>> files;
    for (const LogRecord& r : store_.CurrentLogs()) {
        std::optional<std::string> bytes = vault_.Read(r.file);
        if (!bytes) throw StoreError("the file of " + r.call + "'s log " + r.file + " cannot be read");
        files.emplace_back(CheckedName(r.call), std::move(*bytes));
    }
    std::sort(files.begin(), files.end());
    return files;
}

LogsOverview ContestCheck::Overview() {
    LogsOverview o;
    o.uploads = static_cast<std::int64_t>(store_.AllLogs().size());
    std::set<std::string> sent;
    for (LogRecord& r : store_.CurrentLogs()) {
        sent.insert(r.call);
        o.byCategory[r.category].push_back(std::move(r));
    }
    auto files = CurrentFiles();
    const ContestLogs logs =
        ReadContestLogs(files.size(), [&](std::size_t i) { return ReadStation(files[i].first, files[i].second, {}); });
    std::unordered_map<std::string, int> workedIn;
    for (const StationLog& log : logs.logs) {
        std::set<std::uint32_t> calls;
        for (const CheckQso& q : log.qsos) calls.insert(q.call);
        for (const std::uint32_t c : calls) ++workedIn[logs.calls.Text(c)];
    }
    std::set<std::string> posted;
    for (const PostRecord& p : store_.LatestPosts()) posted.insert(p.call);
    std::set<std::string> candidates(posted);
    for (const auto& [call, n] : workedIn)
        if (n >= config_.missingAfter) candidates.insert(call);
    for (const std::string& call : candidates)
        if (!sent.count(call)) {
            const auto found = workedIn.find(call);
            o.missing.push_back({call, found == workedIn.end() ? 0 : found->second, posted.count(call) > 0});
        }
    std::stable_sort(o.missing.begin(), o.missing.end(),
                     [](const MissingLog& a, const MissingLog& b) { return a.workedIn > b.workedIn; });
    return o;
}

std::string ContestCheck::CheckNow() {
    std::lock_guard hold(checkLock_);
    auto files = CurrentFiles();
    const fs::path out(folder_);
    // The checked folder holds the logs as checked, so that logcheck can be run on it again by hand.
    // Overwritten in place, never emptied first: a call's page may be reading its report meanwhile.
    fs::create_directories(out / "logs");
    for (const auto& [name, bytes] : files) Publish(out / "logs" / name, bytes);
    const ContestLogs logs =
        ReadContestLogs(files.size(), [&](std::size_t i) { return ReadStation(files[i].first, files[i].second, {}); });
    files.clear();
    if (logs.logs.empty()) return "no log to check yet\n";
    const CheckSettings settings = SettingsOf(config_);
    const CheckResult result = CheckContest(logs, cty_, settings);
    const CheckedFiles written = CheckOutput(logs, result, settings, config_.Name());
    for (const auto& [name, text] : written.reports) Publish(out / "reports" / name, text);
    Publish(out / "verdicts.csv", written.verdicts);
    Publish(out / "results.csv", written.resultsCsv);
    Publish(out / "results.html", written.resultsHtml);
    return ConsoleSummary(logs, result);
}

std::optional<std::string> ContestCheck::Published(const std::string& name) const {
    if (name != "results.html" && name != "results.csv" && name != "verdicts.csv") return std::nullopt;
    return ReadWhole(fs::path(folder_) / name);
}

std::optional<std::string> ContestCheck::ReportOf(const std::string& call) const {
    StationLog log;
    log.call = call;
    return ReadWhole(fs::path(folder_) / "reports" / ReportName(log));
}
