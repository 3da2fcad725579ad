// The log checker against a simulated contest's truth, against the real plug-in's
// claimed score, and the evidence a sponsor reads.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "check_options.h"
#include "check_report.h"
#include "contest_simulator.h"
#include "logs/cty_dat.h"

namespace {

const CountryFile& Cty() {
    static const CountryFile cty = [] {
        std::ifstream in(CTY_DAT, std::ios::binary);
        return CountryFile::Parse(std::string(std::istreambuf_iterator<char>(in), {}), CTY_DAT);
    }();
    return cty;
}

CheckResult Check(ContestLogs& logs, const std::vector<std::pair<std::string, std::string>>& files,
                  const std::vector<std::string>& args = {}) {
    std::vector<std::string> all{"folder"};
    all.insert(all.end(), args.begin(), args.end());
    static CheckOptions options;
    options = ParseCheckOptions(all);
    for (const auto& [name, text] : files) AddLog(logs, name, text, options.read);
    return CheckContest(logs, Cty(), options.settings);
}

// Every verdict class against the simulator's truth: 1,000 logs, 2 % busted calls,
// 1 % busted numbers, 1 % NIL, 3 % uniques, 5 % of the clocks up to 10 minutes off.
TEST(LogCheck, ASimulatedContestsVerdictsMatchItsTruth) {
    const SimContest sim = SimulateContest({});
    ContestLogs logs;
    const CheckResult result = Check(logs, sim.files, {"--start", sim.start, "--end", sim.end});
    ASSERT_EQ(logs.logs.size(), 1000u);
    ASSERT_TRUE(logs.refused.empty());

    std::map<std::string, int> truePositive, found, truth;
    std::size_t lines = 0;
    for (std::size_t l = 0; l < logs.logs.size(); ++l) {
        const StationLog& log = logs.logs[l];
        for (std::size_t i = 0; i < log.qsos.size(); ++i, ++lines) {
            const std::string expected = sim.truth.at({log.call, static_cast<int>(log.qsos[i].line)});
            const std::string got = VerdictName(result.logs[l].qsos[i].verdict);
            ++truth[expected];
            ++found[got];
            if (got == expected) ++truePositive[got];
        }
    }
    EXPECT_EQ(lines, sim.lines);
    for (const char* v : {"ok", "nil", "busted-call", "busted-exchange", "unique", "dupe", "outside-period", "wrong-band"}) {
        ASSERT_GT(truth[v], 0) << v;
        const double precision = 100.0 * truePositive[v] / found[v], recall = 100.0 * truePositive[v] / truth[v];
        std::printf("%-16s %6d in truth, %6d found, precision %.2f %%, recall %.2f %%\n", v, truth[v], found[v],
                    precision, recall);
        EXPECT_GE(precision, 99.0) << v << ": " << found[v] << " found, " << truePositive[v] << " right";
        EXPECT_GE(recall, 98.0) << v << ": " << truth[v] << " in truth, " << truePositive[v] << " found";
    }
    // The clocks: each one that was off is found within a minute.
    int offsetsFound = 0;
    for (std::size_t l = 0; l < logs.logs.size(); ++l) {
        const auto it = sim.offsets.find(logs.logs[l].call);
        const int truthOffset = it == sim.offsets.end() ? 0 : it->second;
        EXPECT_NEAR(result.logs[l].offset, truthOffset, 1) << logs.logs[l].call;
        offsetsFound += it != sim.offsets.end() && result.logs[l].offset != 0;
    }
    EXPECT_EQ(offsetsFound, static_cast<int>(sim.offsets.size()));
    EXPECT_GE(sim.offsets.size(), 30u);
}

// The sample log alone: nothing is removed, and its score is the one the real
// plug-in's report gives for it (tests/replay/sample_output.txt, under Wine).
TEST(LogCheck, ALogWithoutErrorsChecksToThePluginsClaimedScore) {
    std::ifstream in(SAMPLE_LOG, std::ios::binary);
    ContestLogs logs;
    const CheckResult result = Check(logs, {{"sample.adi", std::string(std::istreambuf_iterator<char>(in), {})}});
    ASSERT_EQ(logs.logs.size(), 1u);
    EXPECT_EQ(result.logs[0].claimed.score, 4523904);  // "Score = 8316 * (358 + 186)  = 4523904"
    EXPECT_EQ(result.logs[0].checked.score, 4523904);
    EXPECT_EQ(result.logs[0].claimed.points, 8316);
}

// What a sponsor reads: the other log's line, the clock, the distance, the shift.
TEST(LogCheck, EachVerdictExplainsItselfWithTheOtherLog) {
    const auto log = [](const std::string& call, const std::vector<std::string>& qsos) {
        std::string text = "START-OF-LOG: 3.0\nCALLSIGN: " + call + "\nCATEGORY-OPERATOR: SINGLE-OP\n";
        for (const auto& q : qsos) text += q + "\n";
        return std::pair<std::string, std::string>{call + ".log", text + "END-OF-LOG:\n"};
    };
    ContestLogs logs;
    const CheckResult result = Check(
        logs,
        {log("OH2BH", {"QSO: 14080 RY 2026-02-14 1200 OH2BH 599 1234 SM5XYZ 599 QWER",
                       "QSO: 14080 RY 2026-02-14 1300 OH2BH 599 1234 DL1ABC 599 5678",
                       "QSO:  7040 RY 2026-02-14 1400 OH2BH 599 1234 SM5XYY 599 4321"}),
         log("SM5XYZ", {"QSO: 14080 RY 2026-02-14 1201 SM5XYZ 599 1234 OH2BH 599 1234",
                        "QSO:  7040 RY 2026-02-14 1400 SM5XYZ 599 4321 OH2BH 599 1234"}),
         log("DL1ABC", {"QSO: 21080 RY 2026-02-14 1300 DL1ABC 599 5678 OH2BH 599 1234"})});
    const CheckSettings settings;
    ASSERT_EQ(logs.logs.size(), 3u);
    EXPECT_EQ(result.logs[0].qsos[0].verdict, Verdict::bustedExchange);
    EXPECT_EQ(EvidenceText(logs, result, settings, 0, 0),
              "number: you copied 1234 as QWER (QWER reads 1234 through the letters/figures shift): SM5XYZ's line 4: "
              "\"QSO: 14080 RY 2026-02-14 1201 SM5XYZ 599 1234 OH2BH 599 1234\"");
    EXPECT_EQ(result.logs[0].qsos[1].verdict, Verdict::nil);
    EXPECT_EQ(EvidenceText(logs, result, settings, 0, 1),
              "DL1ABC's log holds no QSO with OH2BH on 20m within 5 min of 2026-02-14 1300 (clocks corrected: yours 0 "
              "min, theirs 0 min)");
    EXPECT_EQ(result.logs[0].qsos[2].verdict, Verdict::bustedCall);
    EXPECT_EQ(EvidenceText(logs, result, settings, 0, 2),
              "SM5XYY sent no log and is not in MASTER.SCP; SM5XYZ (1 character apart) logged you then: SM5XYZ's line 5: "
              "\"QSO:  7040 RY 2026-02-14 1400 SM5XYZ 599 4321 OH2BH 599 1234\"");
    EXPECT_EQ(result.logs[1].qsos[1].verdict, Verdict::ok);  // the bust is OH2BH's, not SM5XYZ's
    EXPECT_EQ(result.logs[2].qsos[0].verdict, Verdict::nil);
    // Two busted QSOs leave OH2BH one QSO on 20m; the penalty takes its points twice over.
    const std::string report = CheckingReport(logs, result, settings, 0);
    EXPECT_NE(report.find("Removed QSOs\r\n  line 4: QSO: 14080 RY 2026-02-14 1200 OH2BH 599 1234 SM5XYZ 599 QWER\r\n"
                          "    busted-exchange: number: you copied 1234 as QWER"),
              std::string::npos)
        << report;
}

// Real logs of a Slovenian contest (zrs_kvp_2012/README.md): every QSO line is
// read, and errors found in the data by eye get their verdicts, one mode at a time.
TEST(LogCheck, RealLogsReadWholeAndTheirKnownErrorsAreFound) {
    std::vector<std::pair<std::string, std::string>> files;
    std::size_t qsoLines = 0;
    for (const auto& e : std::filesystem::directory_iterator(REAL_LOGS))
        if (e.path().extension() == ".log") {
            std::ifstream in(e.path(), std::ios::binary);
            files.emplace_back(e.path().filename().string(), std::string(std::istreambuf_iterator<char>(in), {}));
            for (std::size_t at = files.back().second.find("\nQSO:"); at != std::string::npos;
                 at = files.back().second.find("\nQSO:", at + 1))
                ++qsoLines;
        }
    const auto verdict = [](const ContestLogs& logs, const CheckResult& result, const std::string& call, int line) {
        const auto l = static_cast<std::size_t>(logs.LogOf(logs.calls.Find(call)));
        for (std::size_t i = 0; i < logs.logs[l].qsos.size(); ++i)
            if (logs.logs[l].qsos[i].line == static_cast<std::uint32_t>(line)) return result.logs[l].qsos[i].verdict;
        return Verdict::ok;
    };
    ContestLogs cw, ph;
    const CheckResult onCw = Check(cw, files, {"--contest-mode", "CW"});
    const CheckResult onPh = Check(ph, files, {"--contest-mode", "PH"});
    ASSERT_EQ(cw.logs.size(), 32u);
    std::size_t read = 0;
    for (const auto& log : cw.logs) {
        read += log.qsos.size();
        EXPECT_TRUE(log.skipped.empty()) << log.file;
    }
    EXPECT_EQ(read, qsoLines);
    EXPECT_EQ(verdict(cw, onCw, "S51NZ", 25), Verdict::bustedCall);
    EXPECT_EQ(verdict(cw, onCw, "S55Z", 20), Verdict::bustedExchange);
    EXPECT_EQ(verdict(ph, onPh, "S55Z", 95), Verdict::bustedExchange);
    EXPECT_EQ(verdict(ph, onPh, "S50W", 177), Verdict::bustedExchange);
}

}  // namespace
