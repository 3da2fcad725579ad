// The ledger, the analysis page and the Cabrillo round trip of replay.exe
// through the real Stats.dll: the sample's ledger must add up to the report the
// plug-in printed, and a hand-made log with one case of each log check must
// have each found and nothing else.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "plugin_test.h"
#include "replay_runner.h"

namespace {

const std::string kSource = SOURCE_DIR;
const std::string kSample = "\"" + kSource + "\\examples\\sample.adi\"";

using ReplayAnalysisTest = PluginTest;

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string f; std::getline(in, f, ',');) fields.push_back(f);
    if (!line.empty() && line.back() == ',') fields.emplace_back();
    return fields;
}

struct BandSums {
    int qsos = 0, points = 0, prefixes = 0;
    std::set<std::string> received;  // counted QSOs' received numbers: the exchange multipliers
};

// The sample's report, as README and sample_output.txt give it.
TEST_F(ReplayAnalysisTest, TheSamplesLedgerAddsUpToItsReportOnEveryBand) {
    const ReplayRun run = Replay(kSample + " --workdir w --ledger ledger.csv");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find("\n  ledger            ledger.csv\n"), std::string::npos) << run.out;

    const std::string csv = ReadFileBytes("ledger.csv");
    EXPECT_EQ(csv.find('"'), std::string::npos);  // nothing to quote in the sample
    const auto lines = Lines(Lf(csv));
    ASSERT_EQ(lines.size(), 1u + 1480u);
    const auto head = Split(lines[0]);
    const std::vector<std::string> columns = {"record", "line", "time", "band", "call", "sent", "received",
                                              "verdict", "point class", "points", "new exchange multiplier",
                                              "new prefix multiplier", "claimed score"};
    ASSERT_EQ(head, columns);
    std::map<std::string, BandSums> bands;
    int dupes = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto f = Split(lines[i]);
        ASSERT_EQ(f.size(), columns.size()) << lines[i];
        if (f[7].rfind("dupe of record ", 0) == 0) ++dupes;
        if (f[7] != "counted") continue;
        BandSums& b = bands[f[3]];
        ++b.qsos;
        b.points += std::stoi(f[9]);
        b.received.insert(f[6]);
        b.prefixes += !f[11].empty();
    }
    const struct {
        const char* band;
        int qsos, points, mults, prefixes;
    } report[] = {{"160m", 39, 395, 30, 9},   {"80m", 176, 1920, 63, 22}, {"40m", 419, 3496, 71, 58},
                  {"20m", 518, 1550, 72, 50}, {"15m", 213, 650, 68, 30},  {"10m", 99, 305, 54, 17}};
    for (const auto& r : report) {
        const BandSums& b = bands[r.band];
        EXPECT_EQ(b.qsos, r.qsos) << r.band;
        EXPECT_EQ(b.points, r.points) << r.band;
        EXPECT_EQ(static_cast<int>(b.received.size()), r.mults) << r.band;
        EXPECT_EQ(b.prefixes, r.prefixes) << r.band;
    }
    EXPECT_EQ(bands.size(), 6u);
    EXPECT_EQ(dupes, 6);
    EXPECT_EQ(Split(lines.back()).back(), "4523904");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "44,47,2021-03-06 0156,40m,DO6CH,1987,1964,dupe of record 36,,,,,20952"),
              lines.end());
}

// The record numbers a check of the page lists, in order.
std::vector<int> Listed(const std::string& page, const std::string& id) {
    const auto at = page.find("id=\"" + id + "\"");
    if (at == std::string::npos) return {-1};
    const auto end = page.find("</table>", at);
    const std::string table = page.substr(at, end == std::string::npos ? std::string::npos : end - at);
    if (table.find("None.") != std::string::npos && table.find("<tr>") == std::string::npos) return {};
    std::vector<int> records;
    const std::regex row("<tr><td>([0-9]+)</td>");
    for (auto it = std::sregex_iterator(table.begin(), table.end(), row); it != std::sregex_iterator(); ++it)
        records.push_back(std::stoi((*it)[1]));
    return records;
}

TEST_F(ReplayAnalysisTest, EachLogCheckFindsItsOneCaseAndNothingElse) {
    // Calls in MASTER.SCP unless said otherwise; received numbers four digits unless said otherwise.
    const struct {
        const char *call, *date, *time, *band, *rcvd;
    } qsos[] = {
        {"OH2BH", "20210306", "1000", "20m", "0001"},  // 1 and 2: one call, two numbers
        {"OH2BH", "20210306", "1010", "40m", "0002"},
        {"K5ZD", "20210306", "1020", "20m", "QWER"},   // 3: figures shift lost: reads 1234
        {"K1AR", "20210306", "1030", "20m", "0005"},   // 4 and 5: a dupe of 4
        {"K1AR", "20210306", "1031", "20m", "0005"},
        {"SM5QQQ", "20210306", "1040", "20m", "0006"}, // 6: once, and not in MASTER.SCP
        {"DL6RAI", "20210306", "1050", "15m", "0007"},
        {"DL6RAI", "20210306", "1051", "10m", "0007"},
        {"OH2BH", "20210308", "1000", "15m", "0001"},  // 9: after the contest
    };
    std::string adif = "<STATION_CALLSIGN:6>SM5XYZ\n";
    for (const auto& q : qsos)
        adif += std::string("<CALL:") + std::to_string(strlen(q.call)) + ">" + q.call + "<QSO_DATE:8>" + q.date +
                "<TIME_ON:4>" + q.time + "<BAND:3>" + q.band + "<MODE:4>RTTY<STX_STRING:4>1987<SRX_STRING:" +
                std::to_string(strlen(q.rcvd)) + ">" + q.rcvd + "<EOR>\n";
    WriteFileBytes("checks.adi", adif);
    const ReplayRun run =
        Replay("checks.adi --workdir w --start \"2021-03-06 0000\" --end 2021-03-07 --analysis page.html");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find("\n  analysis page     page.html\n"), std::string::npos) << run.out;
    const std::string page = ReadFileBytes("page.html");
    EXPECT_EQ(Listed(page, "check-numbers"), (std::vector<int>{1, 2}));
    EXPECT_EQ(Listed(page, "check-digits"), std::vector<int>{3});
    EXPECT_NE(page.find("received &quot;QWER&quot;, reads 1234 on figures"), std::string::npos);
    EXPECT_EQ(Listed(page, "check-dupes"), std::vector<int>{5});
    EXPECT_NE(page.find("dupe of record 4 (2021-03-06 1030, received 0005)"), std::string::npos);
    EXPECT_EQ(Listed(page, "check-uniques"), std::vector<int>{6});
    EXPECT_EQ(Listed(page, "check-period"), std::vector<int>{9});
}

// A MASTER.SCP named but unreadable is a bad input file: status 2, nothing written.
TEST_F(ReplayAnalysisTest, AnUnreadableScpFileStopsBeforeAnythingIsWritten) {
    const ReplayRun run = Replay(kSample + " --workdir w --analysis page.html --scp missing.scp");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "replay: missing.scp: cannot open the file");
    EXPECT_FALSE(FileExists("w"));
    EXPECT_FALSE(FileExists("page.html"));
}

TEST_F(ReplayAnalysisTest, TheSamplesCabrilloFileReadBackGivesTheSameScore) {
    // The HTML report first: every report after it, the re-read's too, is HTML.
    const ReplayRun run = Replay(kSample + " --workdir w --html report.html --cabrillo --header \"" + kSource +
                                 "\\examples\\header.txt\"");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find("\n\nCabrillo file re-read: the same score\n"), std::string::npos) << run.out;
    // The re-read ran in a folder of its own and found the same six dupes.
    const auto bad = Lines(Lf(ReadFileBytes("w\\Cabrillo re-read\\BadQSO_StatsVERDAWW_07_03_2021.txt")));
    EXPECT_EQ(bad.size(), 1u + 6u);
}

}  // namespace
