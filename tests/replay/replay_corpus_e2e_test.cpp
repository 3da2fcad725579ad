// replay.exe over logs that other programs wrote (tests/replay/corpus): what
// reaches the plug-in is checked against the counts in the corpus README, which
// were made without replay. Also: the plug-in's own Cabrillo file read back, the
// exchanges Tevo would refuse, and names in other scripts.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "plugin_test.h"
#include "replay_runner.h"

namespace {

const std::string kCorpus = std::string(SOURCE_DIR) + "\\tests\\replay\\corpus\\";

struct Expected {
    std::string file, args, message;
    DWORD exit = 0;
    int handed = 0, skipped = 0, leftOut = 0;
};

std::string Cell(std::string c) {
    c.erase(0, c.find_first_not_of(' '));
    c.erase(c.find_last_not_of(' ') + 1);
    return c;
}

// The rows of the README's table "What each replay must give".
std::vector<Expected> ExpectedRuns() {
    std::vector<Expected> rows;
    for (const auto& line : Lines(Lf(ReadFileBytes(kCorpus + "README.md")))) {
        std::vector<std::string> cells;
        for (std::size_t at = 1, bar; (bar = line.find('|', at)) != std::string::npos; at = bar + 1)
            cells.push_back(Cell(line.substr(at, bar - at)));
        if (cells.size() != 7 || cells[0].find('.') == std::string::npos || cells[2].empty() ||
            !std::isdigit(static_cast<unsigned char>(cells[2][0])))
            continue;
        rows.push_back({cells[0], cells[1], cells[6], static_cast<DWORD>(std::stoul(cells[2])), std::stoi(cells[3]),
                        std::stoi(cells[4]), std::stoi(cells[5])});
    }
    return rows;
}

// A figure of the plug-in's report ("Total\t 75") or of replay's summary.
int Figure(const std::string& out, const std::string& pattern) {
    std::smatch m;
    return std::regex_search(out, m, std::regex(pattern)) ? std::stoi(m[1]) : -1;
}

int Handed(const std::string& out) {
    return Figure(out, "\nTotal\t +([0-9]+)") + Figure(out, "\nDupe\t +([0-9]+)") + Figure(out, "\nBad QSO\t +([0-9]+)");
}

bool HasControlByte(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\n' && c != '\t') || u == 0x7F;
    });
}

using ReplayCorpusTest = PluginTest;

TEST_F(ReplayCorpusTest, EveryFileIsReadOrRefusedAsAWholeWithOneCleanLine) {
    const auto rows = ExpectedRuns();
    ASSERT_GE(rows.size(), 16u);
    int n = 0;
    for (const auto& row : rows) {
        const std::string what = row.file + " " + row.args, workdir = "w" + std::to_string(++n);
        const ReplayRun run = Replay("\"" + kCorpus + row.file + "\" " + row.args + " --workdir " + workdir);
        EXPECT_EQ(run.exitCode, row.exit) << what << "\n" << run.err;
        EXPECT_FALSE(HasControlByte(run.out) || HasControlByte(run.err)) << what;
        if (row.exit == 4) {
            EXPECT_EQ(Lines(run.err).size(), 1u) << what << "\n" << run.err;
            EXPECT_NE(run.err.find(row.message), std::string::npos) << what << "\n" << run.err;
            EXPECT_EQ(run.out.find("Total"), std::string::npos) << what;
            EXPECT_FALSE(FileExists(workdir)) << what;
            continue;
        }
        EXPECT_EQ(Handed(run.out), row.handed) << what << "\n" << run.out;
        EXPECT_EQ(Figure(run.out, "QSOs replayed: ([0-9]+)"), row.handed) << what;
        EXPECT_EQ(Figure(run.out, "records skipped: ([0-9]+)"), row.skipped) << what;
        EXPECT_EQ(std::max(0, Figure(run.out, "outside the contest period: ([0-9]+)\n")), row.leftOut) << what;
        EXPECT_EQ(run.err, "") << what;
    }
}

// Bands beyond the six go to the plug-in by name and come back as WRONG BAND.
TEST_F(ReplayCorpusTest, QsosOutsideTheContestBandsAreRejectedByThePlugin) {
    const ReplayRun run = Replay("\"" + kCorpus + "h_lotw_bad_records.adi\" --mycall N4GRC --workdir w");
    EXPECT_NE(run.out.find("  record 4     line 56     2026-05-01 1806  3cm   FT8    VY0IRC       WRONG BAND\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("  record 3     line 42     CALL \"K5\\x00PV\" holds a control byte\n"), std::string::npos)
        << run.out;
}

// K1IR received two-digit zones: IsValidExchg0 refuses every one, and each is still scored.
TEST_F(ReplayCorpusTest, ExchangesTevoWouldRefuseAreListedAndReplayed) {
    const ReplayRun run = Replay("\"" + kCorpus + "k1ir_cqww_cw.log\" --workdir w");
    EXPECT_NE(run.out.find("Warning: received exchanges Tevo would refuse (IsValidExchg0), replayed as they stand: 75\n"
                           "  record 1     line 18     2017-11-25 2121  40m   CW     SQ9E         \"15\"\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(Handed(run.out), 75);
}

// The Cabrillo file the plug-in writes, read back, scores the same.
TEST_F(ReplayCorpusTest, ThePluginsOwnCabrilloFileReadsBackToTheSameScore) {
    const std::string sample = "\"" + std::string(SOURCE_DIR) + "\\examples\\sample.adi\"";
    const ReplayRun adif = Replay(sample + " --workdir w --cabrillo --header \"" + std::string(SOURCE_DIR) +
                                  "\\examples\\header.txt\"");
    ASSERT_EQ(adif.exitCode, 0u) << adif.err;
    const ReplayRun cabrillo = Replay("w\\SM5XYZ.cbr --workdir w2");
    ASSERT_EQ(cabrillo.exitCode, 0u) << cabrillo.err;
    EXPECT_EQ(Figure(cabrillo.out, "QSOs replayed: ([0-9]+)"), 1464 + 6);  // every stored QSO, dupes included
    for (const char* line : {"\nTotal\t [^\n]*\n", "\nScore = [^\n]*\n", "\nDupe\t [^\n]*\n"}) {
        std::smatch a, c;
        ASSERT_TRUE(std::regex_search(adif.out, a, std::regex(line)));
        ASSERT_TRUE(std::regex_search(cabrillo.out, c, std::regex(line)));
        EXPECT_EQ(a.str(), c.str());
    }
}

// Files and folders named in Cyrillic, Japanese and with an umlaut.
TEST_F(ReplayCorpusTest, NamesInAnyScriptOpenAndAreWritten) {
    const std::string log = "журнал_ログ.log", html = "Ä\\report.html";
    ASSERT_TRUE(CopyFileW(Wide(kCorpus + "gb0wr_iaru.log").c_str(), Wide(log).c_str(), FALSE));
    ASSERT_TRUE(CreateDirectoryW(L"\u00C4", nullptr));
    const ReplayRun run = Replay(log + " --workdir \"wÄ\" --html " + html);
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(Handed(run.out), 4);
    EXPECT_NE(GetFileAttributesW(Wide(html).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(Wide("wÄ\\Plugins\\VERDA-WW.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
