// replay: feeds a contest log to Stats.dll the way the host does (a reset, one
// AddData0 per QSO in log order, then the results) and prints what it made of it.
//
//   replay LOG [--dll PATH]
//
// LOG holds one QSO per line: date (YYYY-MM-DD), time (HHMM), band, mode,
// frequency in kHz, call, report sent, number sent, report received, number
// received, prefix, country, continent; blank-separated, "-" for an empty field.
// Lines starting with '#' are comments; "MYCALL call country continent" names the
// own station. The plug-in's files go to the current folder.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "stand_in_host.h"

namespace {

struct LogQso {
    int line = 0;
    std::string date, time, band, mode, call, rstSent, exchSent, rstRcvd, exchRcvd, prefix, country, continent;
    unsigned freqKHz = 0;
};

struct Log {
    std::string myCall = "SM5XYZ", myCountry = "SM", myContinent = "EU";
    std::vector<LogQso> qsos;
};

std::string Field(const std::string& s) { return s == "-" ? std::string() : s; }

bool ParseTime(const std::string& date, const std::string& hhmm, HostDateTime& out) {
    int y = 0, m = 0, d = 0, hh = 0, mm = 0;
    if (std::sscanf(date.c_str(), "%4d-%2d-%2d", &y, &m, &d) != 3) return false;
    if (hhmm.size() != 4 || std::sscanf(hhmm.c_str(), "%2d%2d", &hh, &mm) != 2) return false;
    out = HostTime(y, m, d, hh, mm);
    return out.status == 0;
}

bool ReadLog(const char* path, Log& log) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "replay: cannot open %s\n", path);
        return false;
    }
    std::string text;
    for (int n = 1; std::getline(in, text); ++n) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        std::istringstream words(text);
        std::string first;
        if (!(words >> first) || first[0] == '#') continue;
        if (first == "MYCALL") {
            words >> log.myCall >> log.myCountry >> log.myContinent;
            continue;
        }
        LogQso q;
        q.line = n;
        q.date = first;
        std::string freq;
        if (!(words >> q.time >> q.band >> q.mode >> freq >> q.call >> q.rstSent >> q.exchSent >> q.rstRcvd >>
              q.exchRcvd >> q.prefix >> q.country >> q.continent)) {
            std::fprintf(stderr, "replay: %s line %d: expected 13 fields\n", path, n);
            return false;
        }
        q.freqKHz = static_cast<unsigned>(std::strtoul(freq.c_str(), nullptr, 10));
        log.qsos.push_back(q);
    }
    return true;
}

// What the plug-in said about the QSO: a line it appended to the bad-QSO file, if any.
std::string Verdict(int result, const std::string& before, const std::string& after) {
    if (after.size() > before.size()) {
        std::string line = after.substr(before.size());
        const auto bang = line.find(" !!!");
        const auto start = line.rfind("   ", bang);
        if (bang != std::string::npos && start != std::string::npos) return line.substr(start + 3, bang - start - 3);
    }
    return result ? "ok" : "rejected";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: replay LOG [--dll PATH]\n");
        return 2;
    }
    std::string dllPath = StatsDll::DefaultPath();
    for (int i = 2; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--dll") dllPath = argv[++i];

    Log log;
    if (!ReadLog(argv[1], log)) return 2;
    CreateDirectoryA("Plugins", nullptr);

    try {
        StatsDll dll(dllPath);
        ResetCall reset;
        reset.myCall = log.myCall.c_str();
        reset.myCountry = log.myCountry.c_str();
        reset.myContinent = log.myContinent.c_str();
        if (!log.qsos.empty()) {
            ParseTime(log.qsos.front().date, "0000", reset.start);
            ParseTime(log.qsos.back().date, "2359", reset.end);
        }
        dll.ResetStats0(reset);
        const std::string badFile = "BadQSO_StatsVERDAWW_" + log.qsos.back().date.substr(8, 2) + "_" +
                                    log.qsos.back().date.substr(5, 2) + "_" + log.qsos.back().date.substr(0, 4) +
                                    ".txt";

        std::printf("%-5s %-16s %-5s %-6s %-12s %-5s %s\n", "Line", "Date", "Band", "Mode", "Call", "Nr", "Verdict");
        for (const auto& q : log.qsos) {
            std::vector<std::string> f = {Field(q.call),    Field(q.mode),     Field(q.rstSent),
                                          Field(q.rstRcvd), Field(q.exchSent), Field(q.exchRcvd),
                                          Field(q.prefix),  Field(q.country),  Field(q.continent),
                                          Field(q.band)};
            QsoCall call;
            call.myCall = log.myCall.c_str();
            call.call = f[0].c_str();
            call.mode = f[1].c_str();
            call.rstSent = f[2].c_str();
            call.rstRcvd = f[3].c_str();
            call.exchSent = f[4].c_str();
            call.exchRcvd = f[5].c_str();
            call.prefix = f[6].c_str();
            call.country = f[7].c_str();
            call.continent = f[8].c_str();
            call.band = f[9].c_str();
            call.freqHz = q.freqKHz * 1000;
            if (!ParseTime(q.date, q.time, call.time)) {
                std::fprintf(stderr, "replay: %s line %d: bad date or time\n", argv[1], q.line);
                return 2;
            }
            const std::string before = ReadFileBytes(badFile);
            const int result = dll.AddData0(call);
            std::printf("%-5d %-16s %-5s %-6s %-12s %-5s %s\n", q.line, (q.date + " " + q.time).c_str(),
                        q.band.c_str(), q.mode.c_str(), q.call.c_str(), q.exchRcvd.c_str(),
                        Verdict(result, before, ReadFileBytes(badFile)).c_str());
        }

        std::string report = dll.Results();
        if (!report.empty()) std::printf("\n%s\n", report.c_str());
        std::printf("\nBad-QSO file %s:\n%s", badFile.c_str(), ReadFileBytes(badFile).c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "replay: %s\n", e.what());
        return 1;
    }
    return 0;
}
