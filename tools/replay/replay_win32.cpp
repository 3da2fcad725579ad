// replay: scores a contest log with the real Stats.dll, driving it as Tevo does
// (ResetStats0, one AddData0 per QSO in log order, GetResult0). Windows console
// program over the portable replay plan; it loads the plug-in through the stand-in
// host and answers the plug-in's dialogs through the window driver.
//
// Exit status: ExitStatus in replay_plan.h. Arguments and every file name go
// through the wide-character API.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <unordered_set>

#include "after_contest_win32.h"
#include "cabrillo_header.h"
#include "logs/cty_dat.h"
#include "base/settings.h"
#include "dialog_watch_win32.h"
#include "live_post_win32.h"
#include "log_checks.h"
#include "replay_plan.h"
#include "round_trip.h"
#include "stand_in_host.h"
#include "text_files_win32.h"
#include "typed_calls_win32.h"
#include "window_driver.h"
#include "logs/input_error.h"
#include "logs/text.h"
#include "logs/bands.h"
#include "logs/log_file.h"

namespace fs = std::filesystem;

namespace {

class RunError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string ProgramFolder() {
    wchar_t exe[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::string dir = Utf8(std::wstring(exe, n));
    const auto slash = dir.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
}

// An explicit --cty wins; otherwise a copy beside the program, then Debian's as Wine sees it.
std::string CountryFilePath(const std::string& option) {
    if (!option.empty()) return option;
    for (const std::string& candidate : {ProgramFolder() + "cty.dat", std::string("Z:\\usr\\share\\hamradio-files\\cty.dat")})
        if (PathExists(candidate)) return candidate;
    throw InputError("no country file: put cty.dat beside replay.exe or give --cty FILE");
}

// As the country file; empty when there is none, and the unique-call check is left out.
std::string MasterScpPath(const std::string& option) {
    if (!option.empty()) return option;
    for (const std::string& candidate :
         {ProgramFolder() + "MASTER.SCP", std::string("Z:\\usr\\share\\hamradio-files\\MASTER.SCP")})
        if (PathExists(candidate)) return candidate;
    return "";
}

std::string WithoutCr(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

std::uintmax_t SizeOf(const std::string& path) {
    std::error_code ec;
    const auto n = fs::file_size(path, ec);
    return ec ? 0 : n;
}

std::string Tail(const std::string& path, std::uintmax_t from) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from));
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

class Replay {
public:
    Replay(const ReplayOptions& options, const ReplayPlan& plan, std::vector<HeaderValue> header,
           const CountryFile& cty, const std::unordered_set<std::string>* masterScp)
        : options_(options), plan_(plan), header_(std::move(header)), cty_(cty), masterScp_(masterScp),
          badQsoFile_(BadQsoFileName(plan.end)) {}

    // Runs in the work folder; paths in `files` are shown as the operator gave the folder.
    int Run(const std::string& dllPath, const std::wstring& htmlPath, const AfterContestFiles& afterContest) {
        if (options_.cabrillo && !options_.interactive)
            std::printf("%s", EmptyHeaderWarning(EmptyHeaderTags()).c_str());
        // "Start" = 1 makes the next reset leave the windows closed; a reset that
        // opens them leaves it at 1. With --windows each run starts them afresh, as
        // a host restart does.
        WritePrivateProfileStringA(kSettingsSection, setting::kStart, options_.windows ? "0" : "1", kSettingsFile);
        const std::string band = options_.band.empty() ? BusiestBand(plan_) : options_.band;
        std::unique_ptr<TypedCalls> typed;
        if (options_.windows) typed = std::make_unique<TypedCalls>(band, BandEdgeHz(band));
        StatsDll dll(dllPath);

        std::vector<QsoOutcome> outcomes = Pass(dll, 0);
        const bool windowsOpen = options_.windows && !OurVisibleWindows().empty();
        const std::string report = dll.Results();
        std::printf("%s\n\n", WithoutCr(report).c_str());
        // The verdicts are the rule code's, held against what the plug-in answered and wrote.
        const Ledger ledger = MakeLedger(plan_, outcomes);
        std::printf("%s", RejectSummary(ledger).c_str());
        if (!refused_.empty()) {
            std::printf("Warning: received exchanges Tevo would refuse (IsValidExchg0), replayed as they stand: %zu\n",
                        refused_.size());
            for (const auto& row : refused_) std::printf("%s\n", row.c_str());
        }
        std::printf("%s", SkipSummary(plan_).c_str());
        if (!plan_.unknownCalls.empty()) {
            std::printf("Calls the country file does not know (replayed without country):");
            for (const auto& c : plan_.unknownCalls) std::printf(" %s", c.c_str());
            std::printf("\n");
        }

        // The ledger must add up to the report before anything is made of it.
        const bool afterwards = !afterContest.analysis.empty() || !afterContest.ledger.empty() || options_.cabrillo ||
                                !options_.liveUrl.empty();
        if (afterwards) CheckAgainstReport(ledger, report);
        std::vector<std::pair<std::string, std::string>> files;
        if (!htmlPath.empty()) {
            dll.setVersion("replay");
            if (!WriteWholeFile(htmlPath, dll.Results())) throw RunError(ToAnsi(options_.htmlFile) + ": cannot write the file");
            files.emplace_back("HTML report", ToAnsi(options_.htmlFile));
        }
        if (afterwards)
            for (auto& row : WriteAfterContest(options_, afterContest, plan_, ledger, report, masterScp_))
                files.push_back(std::move(row));
        files.emplace_back("bad-QSO file", Shown(badQsoFile_));
        files.emplace_back("plug-in settings", Shown(kSettingsFile));
        std::string roundTrip;
        if (options_.cabrillo) {
            const std::string cabrillo = CabrilloPass(dll);
            files.emplace_back("Cabrillo file", Shown(cabrillo));
            roundTrip = ReRead(dll, cabrillo, ledger);
        }

        std::printf("\nFiles:\n");
        for (const auto& [what, where] : files) std::printf("  %-17s %s\n", what.c_str(), where.c_str());
        if (!roundTrip.empty()) std::printf("\n%s", roundTrip.c_str());
        // Posted from the ledger, which has just been held against the plug-in's report.
        if (!options_.liveUrl.empty())
            PostLive(options_.liveUrl, LivePosts(plan_, ledger, header_, options_.liveEveryMinutes), options_.liveSeconds);

        if (options_.windows) {
            if (!windowsOpen) throw RunError("the operator windows did not open (they need a display)");
            std::printf("\nThe operator windows are open, tuned to %s.\n", band.c_str());
            if (typed->offered())
                std::printf("Type a call and Enter: the windows show it as the call being entered in Tevo.\n"
                            "An empty line closes them and ends.\n");
            else
                std::printf("replay cannot stand in for Tevo here (Tevo's own automation object is registered),\n"
                            "so the windows show no band or call. Press Enter to close them and end.\n");
            std::fflush(stdout);
            typed->Run(dll, cty_);
        }
        return plan_.skipped.empty() ? kAllRead : kSomeSkipped;
    }

private:
    // Start = 1 makes the next reset in this folder leave the windows closed.
    void KeepWindowsClosed() const {
        if (!options_.windows) WritePrivateProfileStringA(kSettingsSection, setting::kStart, "1", kSettingsFile);
    }

    // As the operator named the folder, with the separator he used.
    std::string Shown(std::string name) const {
        const bool slash = options_.workdir.find('/') != std::string::npos;
        std::string dir = ToAnsi(options_.workdir);
        while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
        if (slash)
            for (auto& c : name)
                if (c == '\\') c = '/';
        return dir + (slash ? "/" : "\\") + name;
    }

    // The tags of the three header lines that stay empty: neither the header file
    // nor the plug-in's settings from an earlier run give them.
    std::vector<std::string> EmptyHeaderTags() const {
        std::vector<std::string> empty;
        for (const auto& [key, tag] : {std::pair{"Name", "NAME"}, {"Address", "ADDRESS"}, {"Email", "EMAIL"}}) {
            const bool given = std::any_of(header_.begin(), header_.end(),
                                           [&](const HeaderValue& v) { return v.tag == tag && !v.text.empty(); });
            char stored[8] = {};
            GetPrivateProfileStringA(kSettingsSection, key, "", stored, sizeof stored, kSettingsFile);
            if (!given && !stored[0]) empty.push_back(tag);
        }
        return empty;
    }

    std::vector<QsoOutcome> Pass(const StatsDll& dll, int makeCabrillo) {
        ResetCall reset;
        reset.hostFolder = "";
        reset.makeCabrillo = makeCabrillo;
        reset.myCall = plan_.myCall.c_str();
        reset.start = ToHost(plan_.start);
        reset.end = ToHost(plan_.end);
        reset.myPrefix = plan_.me.prefix.c_str();
        reset.myCountry = plan_.me.country.c_str();
        reset.myContinent = plan_.me.continent.c_str();
        {
            std::unique_ptr<DialogWatcher> header;
            if (makeCabrillo) header = WatchHeaderDialog();
            dll.ResetStats0(reset);
            if (header && !header->seen())
                throw RunError("the Cabrillo header dialog did not appear (the export needs a display)");
        }
        return AddQsos(dll);
    }

    std::vector<QsoOutcome> AddQsos(const StatsDll& dll) {
        std::vector<QsoOutcome> outcomes;
        outcomes.reserve(plan_.qsos.size());
        refused_.clear();
        for (const auto& p : plan_.qsos) {
            const LogQso& q = p.qso;
            // Tevo asks before it logs; a missing number is the plug-in's own verdict.
            if (!q.exchRcvd.empty() && dll.IsValidExchg0(q.exchRcvd.c_str()) == 0)
                refused_.push_back(RecordRow(q) + " \"" + Printable(q.exchRcvd) + "\"");
            // The same arguments as the ledger's rule code gets (ledger.cpp).
            const QsoCall call{.myCall = plan_.myCall.c_str(), .call = q.call.c_str(), .time = ToHost(q.time),
                               .freqHz = HostFreqHz(q), .mode = q.mode.c_str(), .rstSent = q.rstSent.c_str(),
                               .rstRcvd = q.rstRcvd.c_str(), .exchSent = q.exchSent.c_str(),
                               .exchRcvd = q.exchRcvd.c_str(), .prefix = p.station.prefix.c_str(),
                               .country = p.station.country.c_str(), .continent = p.station.continent.c_str(),
                               .band = q.band.c_str()};
            const auto before = SizeOf(badQsoFile_);
            QsoOutcome o;
            o.result = dll.AddData0(call);
            if (SizeOf(badQsoFile_) > before) o.badLine = Tail(badQsoFile_, before);
            outcomes.push_back(std::move(o));
        }
        return outcomes;
    }

    // The operator answers the dialog himself with --interactive; otherwise it is
    // filled in from the header file and accepted.
    std::unique_ptr<DialogWatcher> WatchHeaderDialog() {
        if (options_.interactive) return nullptr;
        return std::make_unique<DialogWatcher>("VERDA-WW-DX", [this](HWND dialog) {
            // The dialog reads its controls on OK: one message a control, not one a
            // character, each of which costs a round trip to this dialog's thread.
            for (const auto& v : header_) SetDlgItemTextA(dialog, v.controlId, v.text.c_str());
            PressButton(dialog, IDOK);
        });
    }

    // A second pass with the export armed; returns the name of the file written in
    // the work folder. The file is found by its change on disk, since the "Output"
    // box names the file even when it could not be written.
    std::string CabrilloPass(const StatsDll& dll) {
        if (options_.interactive) {
            std::printf("\nThe Cabrillo header dialog \"VERDA-WW-DX\" is waiting for you: fill it in and press OK\n"
                        "(Cancel writes no file). An \"Output\" box then names the file; press OK there too.\n");
            std::fflush(stdout);
        }
        Pass(dll, 1);
        const auto before = CabrilloFiles();
        {
            std::unique_ptr<DialogWatcher> output;
            if (!options_.interactive)
                output = std::make_unique<DialogWatcher>("Output", [](HWND box) { PressButton(box, IDOK); });
            dll.Results();
        }
        for (const auto& [name, written] : CabrilloFiles()) {
            const auto old = before.find(name);
            if (old == before.end() || old->second != written) return name;
        }
        throw RunError(options_.interactive
                           ? "no Cabrillo file written: the header dialog was cancelled or could not be shown"
                           : "the plug-in could not write the Cabrillo file");
    }

    // The Cabrillo file as a log of its own, replayed in a fresh folder with the
    // same contest period; its start is taken to the minute, as the file gives times.
    std::string ReRead(const StatsDll& dll, const std::string& cabrillo, const Ledger& logged) {
        ReplayOptions o = options_;
        o.logFile = cabrillo;
        o.myCall = plan_.myCall;
        o.start = DateTime{std::floor(plan_.start.value * 1440.0 + 1e-6) / 1440.0};
        o.end = plan_.end;
        o.endIsDate = false;
        const ReplayPlan plan = MakePlan(ReadLogFile(ReadWholeFile(cabrillo), cabrillo), cty_, o);
        const FolderChange fresh(L"Cabrillo re-read");
        KeepWindowsClosed();
        Replay again(o, plan, {}, cty_, nullptr);
        const std::vector<QsoOutcome> outcomes = again.Pass(dll, 0);
        const Ledger reread = MakeLedger(plan, outcomes);
        CheckAgainstReport(reread, dll.Results());
        return CompareRoundTrip(logged, reread);
    }

    // std::filesystem's write times read as one constant under Wine, so that a
    // rewritten file looked unchanged: the system's own listing is asked.
    static std::map<std::string, std::uint64_t> CabrilloFiles() { return WriteTimes(L"*.cbr"); }

    static HostDateTime ToHost(const DateTime& t) {
        HostDateTime h;
        h.value = t.value;
        h.status = static_cast<std::int32_t>(t.status);
        return h;
    }

    const ReplayOptions& options_;
    const ReplayPlan& plan_;
    std::vector<HeaderValue> header_;
    const CountryFile& cty_;
    const std::unordered_set<std::string>* masterScp_;  // null: no unique-call check
    std::string badQsoFile_;
    std::vector<std::string> refused_;  // rows of the QSOs whose exchange IsValidExchg0 refused
};

// The arguments as UTF-8, whatever script they are in.
std::vector<std::string> Arguments() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 1; argv && i < argc; ++i) args.push_back(Utf8(argv[i]));
    if (argv) LocalFree(argv);
    return args;
}

void PrintError(const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "replay: %s\n", Printable(message).c_str());
}

}  // namespace

int main() {
    ReplayOptions options;
    ReplayPlan plan;
    std::vector<HeaderValue> header;
    try {
        options = ParseOptions(Arguments());
    } catch (const InputError& e) {
        PrintError(ToAnsi(e.what()) + " (" + kUsagePointer + ")");
        return kBadArguments;
    }
    if (options.help) {
        std::printf("%s", kReplayUsage);
        return kAllRead;
    }
    // Every input is read and checked before anything is written.
    std::optional<CountryFile> cty;
    std::optional<std::unordered_set<std::string>> masterScp;
    try {
        const std::string ctyPath = CountryFilePath(options.ctyFile);
        cty.emplace(CountryFile::Parse(ReadWholeFile(ctyPath), ToAnsi(ctyPath)));
        if (!options.headerFile.empty())
            header = ReadCabrilloHeader(ReadWholeFile(options.headerFile), ToAnsi(options.headerFile));
        if (!options.analysisFile.empty())
            if (const std::string scp = MasterScpPath(options.scpFile); !scp.empty())
                masterScp = ReadMasterScp(ReadWholeFile(scp));
    } catch (const InputError& e) {
        PrintError(e.what());
        return kBadArguments;
    }
    LogFile log;
    try {
        log = ReadLogFile(ReadWholeFile(options.logFile), ToAnsi(options.logFile), {options.exchangeField});
    } catch (const InputError& e) {
        PrintError(e.what());
        return kLogUnreadable;
    }
    try {
        plan = MakePlan(log, *cty, options);
    } catch (const InputError& e) {
        if (log.qsos.empty() && !log.skipped.empty()) {
            ReplayPlan unread;
            unread.skipped = log.skipped;
            std::printf("%s", SkipSummary(unread).c_str());
        }
        PrintError(ToAnsi(e.what()));
        return log.qsos.empty() ? kLogUnreadable : kBadArguments;
    }

    try {
        const fs::path workdir(Widen(options.workdir));
        const std::string dllPath = options.dllFile.empty() ? StatsDll::DefaultPath()
                                                            : ToAnsi(Utf8(fs::absolute(Widen(options.dllFile)).wstring()));
        const auto absolute = [](const std::string& name) {
            return name.empty() ? std::wstring() : fs::absolute(Widen(name)).wstring();
        };
        const std::wstring htmlPath = absolute(options.htmlFile);
        const AfterContestFiles afterContest{absolute(options.analysisFile), absolute(options.ledgerFile)};
        // Folders only, before anything is written: the report's, as the work folder's.
        if (!htmlPath.empty()) fs::create_directories(fs::path(htmlPath).parent_path());
        fs::create_directories(workdir / L"Plugins");
        fs::current_path(workdir);
        return Replay(options, plan, std::move(header), *cty, masterScp ? &*masterScp : nullptr)
            .Run(dllPath, htmlPath, afterContest);
    } catch (const std::exception& e) {
        PrintError(e.what());
        return kRunFailed;
    }
}
