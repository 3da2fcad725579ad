// logcheck: the sponsor's cross-check of one contest's logs. The same portable
// program on Linux, where sponsors run their robots, and on Windows.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "check_options.h"
#include "check_report.h"
#include "check_run.h"
#include "logs/cty_dat.h"
#include "logs/master_scp.h"
#include "logs/input_error.h"

namespace fs = std::filesystem;

namespace {

bool ReadFile(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    if (size < 0) return false;
    bytes.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    in.read(bytes.data(), size);
    return in.gcount() == size;
}

// Written whole beside the target, then renamed over it.
void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::path part = path;
    part += ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) throw std::runtime_error("cannot write " + path.string());
    }
    fs::rename(part, path);
}

fs::path DefaultCty(const char* argv0) {
    const fs::path beside = fs::absolute(argv0).parent_path() / "cty.dat";
    std::error_code e;
    if (fs::exists(beside, e)) return beside;
    return "/usr/share/hamradio-files/cty.dat";
}

// One line that rewrites itself, for runs long enough to want one.
class Progress {
public:
    void operator()(double share) {
        const auto now = std::chrono::steady_clock::now();
        if (now - start_ < std::chrono::seconds(2) || (now - last_ < std::chrono::milliseconds(500) && share < 1))
            return;
        last_ = now;
        std::fprintf(stderr, "\rchecking: %3d %%", static_cast<int>(share * 100));
        shown_ = true;
    }
    void End() {
        if (shown_) std::fprintf(stderr, "\n");
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now(), last_;
    bool shown_ = false;
};

int Run(const std::vector<std::string>& args, const char* argv0) {
    CheckOptions o;
    std::unique_ptr<CountryFile> cty;
    std::unordered_set<std::string> scp;
    try {
        o = ParseCheckOptions(args);
        if (o.help) {
            std::fputs(kCheckUsage, stdout);
            return kCheckedAll;
        }
        std::string text;
        if (!o.contestFile.empty()) {
            if (!ReadFile(o.contestFile, text)) throw InputError("cannot read the contest definition " + o.contestFile);
            UseDefinition(o, ReadContestDefinition(text, o.contestFile));
        }
        const fs::path ctyPath = o.ctyFile.empty() ? DefaultCty(argv0) : fs::path(o.ctyFile);
        if (!ReadFile(ctyPath, text)) throw InputError("cannot read the country file " + ctyPath.string());
        cty = std::make_unique<CountryFile>(CountryFile::Parse(text, ctyPath.string()));
        if (!o.scpFile.empty()) {
            if (!ReadFile(o.scpFile, text)) throw InputError("cannot read MASTER.SCP " + o.scpFile);
            scp = ReadMasterScp(text);
            o.settings.scp = &scp;
        }
        std::error_code e;
        if (!fs::is_directory(o.folder, e)) throw InputError("\"" + o.folder + "\" is not a folder of logs");
    } catch (const InputError& e) {
        std::fprintf(stderr, "logcheck: %s\nlogcheck --help lists the options\n", e.what());
        return kCheckBadArguments;
    }

    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(o.folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    const ContestLogs logs = ReadContestLogs(files.size(), [&](std::size_t i) {
        const fs::path& f = files[i];
        std::string text;
        if (!ReadFile(f, text)) {
            ReadLog unread;
            unread.file = f.filename().string();
            unread.error = "cannot be read";
            return unread;
        }
        return ReadStation(f.filename().string(), std::move(text), o.read);
    });
    for (const auto& [file, why] : logs.refused) std::fprintf(stderr, "refused %s: %s\n", file.c_str(), why.c_str());
    if (logs.logs.empty()) {
        std::fprintf(stderr, "logcheck: no log in %s could be read\n", o.folder.c_str());
        return kCheckNoLog;
    }
    bool skipped = !logs.refused.empty();
    for (const auto& log : logs.logs)
        for (const auto& s : log.skipped) {
            skipped = true;
            std::fprintf(stderr, "%s: line %d: %s\n", log.file.c_str(), s.line, s.reason.c_str());
        }

    Progress progress;
    const CheckResult result = CheckContest(logs, *cty, o.settings, std::ref(progress));
    progress.End();

    const fs::path out(o.outDir);
    const CheckedFiles written = CheckOutput(logs, result, o.settings, fs::path(o.folder).filename().string());
    fs::create_directories(out / "reports");
    for (const auto& [name, text] : written.reports) WriteFile(out / "reports" / name, text);
    WriteFile(out / "verdicts.csv", written.verdicts);
    WriteFile(out / "results.csv", written.resultsCsv);
    WriteFile(out / "results.html", written.resultsHtml);
    std::fputs(ConsoleSummary(logs, result).c_str(), stdout);
    std::printf("written to %s\n", out.string().c_str());
    return skipped ? kCheckSomeSkipped : kCheckedAll;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc), argv[0]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "logcheck: %s\n", e.what());
        return kCheckFailed;
    }
}
