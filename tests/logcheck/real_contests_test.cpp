// Whole real contests checked with their definitions, against what their
// sponsors published: each QSO's outcome and each station's final score
// (lzfd_2017/README.md, nrau_baltic_2017/README.md).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <tuple>

#include "check_options.h"
#include "logs/cty_dat.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::vector<std::string>> Csv(const fs::path& path) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(Slurp(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> row{""};
        bool quoted = false;
        for (char c : line) {
            if (c == '"') quoted = !quoted;
            else if (c == ',' && !quoted) row.emplace_back();
            else row.back() += c;
        }
        rows.push_back(std::move(row));
    }
    rows.erase(rows.begin());  // the header
    return rows;
}

const CountryFile& Cty() {
    static const CountryFile cty = CountryFile::Parse(Slurp(CTY_DAT), CTY_DAT);
    return cty;
}

// One part of a contest checked as the program does it: the folder's logs with
// the contest's definition.
struct Checked {
    ContestLogs logs;
    CheckResult result;
    // Per log call, the QSO line ordinal (1-based) of each QSO.
    std::map<std::string, std::vector<int>> ordinals;
};

std::unique_ptr<Checked> CheckFolder(const fs::path& folder, const char* definition) {
    CheckOptions o = ParseCheckOptions({folder.string()});
    UseDefinition(o, ReadContestDefinition(Slurp(fs::path(CONTESTS) / definition), definition));
    auto c = std::make_unique<Checked>();
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(folder)) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) AddLog(c->logs, f.filename().string(), Slurp(f), o.read);
    c->result = CheckContest(c->logs, Cty(), o.settings);
    for (const StationLog& log : c->logs.logs) {
        std::vector<int> lineOrdinal;  // by line number
        int n = 0, line = 0;
        std::istringstream in(log.text);
        for (std::string text; std::getline(in, text);) {
            ++line;
            lineOrdinal.resize(static_cast<std::size_t>(line) + 1, 0);
            if (text.rfind("QSO:", 0) == 0) lineOrdinal[static_cast<std::size_t>(line)] = ++n;
        }
        auto& ordinals = c->ordinals[log.call];
        for (const CheckQso& q : log.qsos) ordinals.push_back(lineOrdinal.at(q.line));
    }
    return c;
}

struct Agreement {
    int qsos = 0, same = 0, stations = 0, within = 0;
};

void Expect(const Agreement& a, const char* contest) {
    const double qsos = 100.0 * a.same / a.qsos, stations = 100.0 * a.within / a.stations;
    std::printf("%s: per-QSO agreement %d of %d (%.2f %%); checked score within 1 %% of the official one for %d of %d "
                "stations (%.1f %%)\n",
                contest, a.same, a.qsos, qsos, a.within, a.stations, stations);
    EXPECT_GE(qsos, 99.5);
    EXPECT_GE(stations, 95.0);
}

// Within 1 % of the official score.
bool Near(std::int64_t ours, std::int64_t official) { return std::llabs(ours - official) * 100 <= official; }

// Credited or not, QSO by QSO; the score of each of the 47 stations.
TEST(LogCheck, FieldDay2017AgreesWithItsSponsor) {
    const fs::path dir = fs::path(REAL_CONTESTS) / "lzfd_2017";
    const auto c = CheckFolder(dir / "logs", "lzfd_2017.toml");
    ASSERT_EQ(c->logs.logs.size(), 47u);
    std::map<std::pair<std::string, int>, std::string> uncredited;
    for (const auto& row : Csv(dir / "uncredited.csv")) uncredited[{row[0], std::stoi(row[1])}] = row[2];
    Agreement a;
    std::map<std::string, std::int64_t> score;
    for (std::size_t l = 0; l < c->logs.logs.size(); ++l) {
        const StationLog& log = c->logs.logs[l];
        const auto& ordinals = c->ordinals.at(log.call);
        std::vector<bool> read(ordinals.empty() ? 0 : static_cast<std::size_t>(ordinals.back()) + 1, false);
        for (std::size_t i = 0; i < log.qsos.size(); ++i) {
            const bool credited = c->result.logs[l].qsos[i].checkedPoints > 0;
            const bool sponsor = uncredited.count({log.call, ordinals[i]}) == 0;
            ++a.qsos;
            a.same += credited == sponsor;
            if (credited != sponsor)
                std::printf("  %s QSO %d: ours %s, the sponsor's %s\n", log.call.c_str(), ordinals[i],
                            VerdictName(c->result.logs[l].qsos[i].verdict),
                            sponsor ? "credited" : uncredited.at({log.call, ordinals[i]}).c_str());
        }
        // Lines not read agree only where the sponsor did not credit them either.
        for (const SkippedRecord& s : log.skipped) {
            ++a.qsos;
            a.same += uncredited.count({log.call, s.record}) == 1;
        }
        score[log.call] = c->result.logs[l].checked.score;
    }
    for (const auto& row : Csv(dir / "official_scores.csv")) {
        ++a.stations;
        a.within += Near(score.at(row[0]), std::stoll(row[3]));
    }
    Expect(a, "LZ HF Field Day 2017");
}

// The points of every QSO (2, 1 or 0) and the score of each of the 264 ranked
// stations, in each part apart.
TEST(LogCheck, NrauBaltic2017AgreesWithItsSponsor) {
    const fs::path dir = fs::path(REAL_CONTESTS) / "nrau_baltic_2017";
    std::map<std::tuple<std::string, std::string, int>, int> points;  // mode, log, ordinal: points below 2
    for (const auto& row : Csv(dir / "reduced_or_lost.csv")) points[{row[0], row[1], std::stoi(row[2])}] = std::stoi(row[3]);
    std::map<std::pair<std::string, std::string>, std::int64_t> official;
    for (const auto& row : Csv(dir / "official_scores.csv")) official[{row[0], row[1]}] = std::stoll(row[2]);
    Agreement a;
    for (const auto& [part, mode] : {std::pair<const char*, const char*>{"cw", "CW"}, {"ph", "PH"}}) {
        const auto c = CheckFolder(dir / part, "nrau_baltic_2017.toml");
        for (std::size_t l = 0; l < c->logs.logs.size(); ++l) {
            const StationLog& log = c->logs.logs[l];
            EXPECT_TRUE(log.skipped.empty()) << log.file;
            for (std::size_t i = 0; i < log.qsos.size(); ++i) {
                const auto it = points.find({mode, log.call, c->ordinals.at(log.call)[i]});
                const int sponsor = it == points.end() ? 2 : it->second;
                ++a.qsos;
                a.same += c->result.logs[l].qsos[i].checkedPoints == sponsor;
            }
            if (const auto it = official.find({mode, log.call}); it != official.end()) {
                ++a.stations;
                a.within += Near(c->result.logs[l].checked.score, it->second);
            }
        }
    }
    EXPECT_EQ(a.stations, 264);
    Expect(a, "NRAU-Baltic 2017");
}

}  // namespace
