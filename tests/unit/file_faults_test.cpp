// File faults through the module, over an in-memory file system: each file
// operation of a pass failing in turn, checked against the bad-QSO file a
// hand-made model of that pass predicts; and files full of junk. Faults that
// need real sharing, locking and path lookup stay in the Wine suite.
#include <gtest/gtest.h>

#include "contest/bad_qso_file.h"
#include "fake_env.h"
#include "fake_files.h"
#include "module/stats_module.h"
#include "test_qso.h"

namespace {

TestQso Qso(const char* call, const char* band) { return {.call = call, .band = band}; }

// The file as a list of what each line is.
std::vector<std::string> Shape(const std::string& bytes) {
    std::vector<std::string> shape;
    for (std::size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2) {
        const std::string line = bytes.substr(at, end - at);
        if (line == kBadQsoHeaderAtReset) shape.push_back("reset header");
        else if (line == kBadQsoHeaderAtRemoval) shape.push_back("removal header");
        else if (line.find("DUPE !!!") != std::string::npos) shape.push_back("dupe");
        else if (line.find("WRONG BAND !!!") != std::string::npos) shape.push_back("wrong band");
        else shape.push_back("? " + line);
    }
    return shape;
}

TEST(FileFaults, EachFailingFileOperationLosesOnlyItsOwnEffect) {
    using Lines = std::vector<std::string>;
    // The pass's file operations in order, and the file each failure leaves.
    const std::vector<std::pair<const char*, Lines>> cases = {
        {"none", {"removal header", "dupe"}},
        {"reading the call history", {"removal header", "dupe"}},
        // The dupe's line starts a file without a header; the removal keeps it.
        {"creating the file", {"removal header", "dupe"}},
        {"appending the dupe", {"removal header"}},
        {"appending the wrong band", {"removal header", "dupe"}},
        {"reading for the removal", {"reset header", "dupe", "wrong band"}},
        {"replacing at the removal", {"reset header", "dupe", "wrong band"}},
        {"reading for the results", {"removal header", "dupe"}},
    };
    for (std::size_t failing = 0; failing < cases.size(); ++failing) {
        FakeEnv env;
        env.settings["Start"] = "1";  // no windows
        FakeFiles files;
        files.failOpen = static_cast<int>(failing);
        StatsModule module(env, files);
        ResetArgs reset;
        reset.myCall = "SM5XYZ";
        reset.end = FromCalendar(2021, 3, 7);
        module.ResetStats0(reset);
        EXPECT_EQ(module.AddData0(Qso("DL1ABC", "20m").args()), 1);
        EXPECT_EQ(module.AddData0(Qso("DL1ABC", "20m").args()), 1);  // a dupe
        EXPECT_EQ(module.AddData0(Qso("OH2XX", "30m").args()), 0);
        EXPECT_EQ(module.RemoveData0(Qso("OH2XX", "30m").args()), 1);
        const std::string report = module.GetResult0();
        EXPECT_NE(report.find("Total\t 1"), std::string::npos) << cases[failing].first;

        if (failing == 0) {
            EXPECT_EQ(files.opens, 7);  // the pass makes the operations above
        }
        EXPECT_EQ(Shape(files.content[module.state().badQsoPath]), cases[failing].second) << cases[failing].first;
    }
}

// The host's settings and the call history with junk before the lines that
// matter: a megabyte-long line, NULs and high bytes. Both lines are still found.
TEST(FileFaults, JunkBeforeTheVersionAndTheCallHistoryIsReadPast) {
    const std::string junk = std::string(1 << 20, 'x') + "\r\n" + std::string("\0\xff\x01Tevo\r\n\0\0\r\n", 13);
    FakeEnv env;
    env.files = {kHostSettingsFile};
    FakeFiles files;
    files.content[kHostSettingsFile] = junk + "Tevo=2.18\r\n";
    files.content[kCallHistoryFile] = junk + "DL1ABC 0042\r\n";
    StatsModule module(env, files);
    module.ResetStats0(ResetArgs{});
    EXPECT_EQ(module.state().hostVersion, "2.18");
    EXPECT_EQ(env.threadStarts, 0);  // that version keeps the windows closed
    EXPECT_EQ(env.settings["Start"], "1");
    ASSERT_FALSE(module.state().shared.callHistory.empty());
    EXPECT_EQ(module.state().shared.callHistory.back(), "DL1ABC 0042");
}

}  // namespace
