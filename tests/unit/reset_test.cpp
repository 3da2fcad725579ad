#include "contest/reset.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "base/std_files.h"

#include "fake_env.h"
#include "module/stats_module.h"

namespace {

StdFiles files;  // the real file system, under the scratch folder

void Put(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

class ResetTest : public ::testing::Test {
protected:
    ScratchDir dir;
    FakeEnv env;
    ContestState state;

    ResetArgs Args(std::string_view country = "SM", int makeCabrillo = 0) {
        ResetArgs a;
        a.hostFolder = "C:\\Tevo\\";
        a.makeCabrillo = makeCabrillo;
        a.myCall = "SM5XYZ";
        a.start = FromCalendar(2021, 3, 6, 12);
        a.end = FromCalendar(2021, 3, 7, 11, 59);
        a.myCountry = country;
        a.myContinent = "EU";
        return a;
    }

    // A host with its settings file in the working directory.
    void HostSettings(const std::string& content) {
        env.files = {"Other.ini", "Tevo2.ini"};
        Put("Tevo2.ini", content);
    }
};

TEST_F(ResetTest, RecordsTheOwnStationAndTheContestDates) {
    EXPECT_EQ(ResetStats(state, env, files, Args()), 1);
    EXPECT_EQ(state.myCall, "SM5XYZ");
    EXPECT_EQ(state.myCountry, "SM");
    EXPECT_EQ(state.myContinent, "EU");
    EXPECT_EQ(state.startText, "06.03");
    EXPECT_EQ(state.shared.startYear, "2021");
    EXPECT_EQ(state.endText, "07.03.2021");
    EXPECT_EQ(env.searched, (std::vector<std::string>{"C:\\Tevo\\*.ini"}));
    for (int i = 0; i < kBandCount; ++i) EXPECT_EQ(state.shared.bandRows[i], (TextList{g_bands[i], "-", "-", "-", "-"}));
}

TEST_F(ResetTest, HostVersionDecidesWhetherTheWindowsOpen) {
    HostSettings("[Main]\r\nTevo=2.14R\r\nTevo=2.19\r\n");
    ResetStats(state, env, files, Args());
    EXPECT_EQ(state.hostVersion, "2.14R");
    EXPECT_EQ(env.threadStarts, 0);
    EXPECT_EQ(env.settings["Start"], "1");

    // The version is taken from the line's sixth character on, wherever the key is.
    for (auto [content, version] : {std::pair{"Tevo=2.19\n", "2.19"}, {"  Tevo=2.18\r\n", "o=2.18"}, {"", "Tevo"}}) {
        FakeEnv fresh;
        if (*content) {
            fresh.files = {"Tevo2.ini"};
            Put("Tevo2.ini", content);
        }
        ContestState s;
        ResetStats(s, fresh, files, Args());
        EXPECT_EQ(s.hostVersion, version);
        EXPECT_EQ(fresh.threadStarts, 1) << content;
    }

    HostSettings("Tevo=\n");
    ResetStats(state, env, files, Args());
    EXPECT_EQ(state.hostVersion, "");
}

TEST_F(ResetTest, LongAndBinaryLinesBeforeTheVersionLineAreReadThrough) {
    std::string binary(200000, 'x');
    binary[100] = '\0';
    binary[200] = '\r';
    HostSettings(binary + "\n" + std::string(1, '\0') + "\nTevo=2.17");
    ResetStats(state, env, files, Args());
    EXPECT_EQ(state.hostVersion, "2.17");
}

TEST_F(ResetTest, VersionNeedsAMatchingFileNameAndKeepsItsValueWhenTheFileSaysNothing) {
    Put("Tevo2.ini", "Tevo=2.15\r\n");
    env.files = {"tevo2.ini", "Tevo2.bak"};
    ResetStats(state, env, files, Args());
    EXPECT_EQ(state.hostVersion, "Tevo");

    env.files = {"MyTevo2.ini"};  // a name containing it is enough; the file read is Tevo2.ini
    ResetStats(state, env, files, Args());
    EXPECT_EQ(state.hostVersion, "2.15");

    Put("Tevo2.ini", "[Main]\r\nVersion=2.19\r\n");
    ResetStats(state, env, files, Args());
    EXPECT_EQ(state.hostVersion, "2.15");

    std::filesystem::remove("Tevo2.ini");
    ResetStats(state, env, files, Args());
    EXPECT_EQ(state.hostVersion, "2.15");
}

TEST_F(ResetTest, StartKeyOpensTheWindowsAtMostOnceAndSkipsOneReset) {
    ResetStats(state, env, files, Args());  // no key, no windows: open them
    ResetStats(state, env, files, Args());  // "Start" = 1: skip and clear
    ResetStats(state, env, files, Args());  // windows already open: nothing
    EXPECT_EQ(env.threadStarts, 1);
    EXPECT_EQ(env.settingWrites, (std::vector<std::string>{"Start=1", "Start=0"}));

    for (const char* set : {" +7", "\t-2", "0010"}) {
        FakeEnv e;
        e.settings["Start"] = set;
        ResetStats(state, e, files, Args());
        EXPECT_EQ(e.threadStarts, 0) << set;
        EXPECT_EQ(e.settings["Start"], "0") << set;
    }
    for (const char* unset : {"-0", "abc", " x1"}) {
        FakeEnv e;
        e.settings["Start"] = unset;
        ResetStats(state, e, files, Args());
        EXPECT_EQ(e.threadStarts, 1) << unset;
        EXPECT_EQ(e.settings["Start"], "1") << unset;
    }
}

TEST_F(ResetTest, CabrilloResetNeverOpensTheWindows) {
    ResetStats(state, env, files, Args("SM", 1));
    EXPECT_EQ(state.makeCabrillo, 1);
    EXPECT_EQ(env.threadStarts, 0);
    std::vector<std::string> startWrites;
    for (const auto& w : env.settingWrites)
        if (w.rfind("Start=", 0) == 0) startWrites.push_back(w);
    EXPECT_EQ(startWrites, (std::vector<std::string>{"Start=1", "Start=0"}));

    ResetStats(state, env, files, Args("SM", 0));
    EXPECT_EQ(state.makeCabrillo, 0);
    EXPECT_EQ(env.threadStarts, 1);
}

TEST_F(ResetTest, RussianWindowsNeverSwitchBack) {
    ResetStats(state, env, files, Args("DL"));
    EXPECT_EQ(state.shared.russianUi, 0);
    ResetStats(state, env, files, Args("UA9"));
    EXPECT_EQ(state.shared.russianUi, 1);
    ResetStats(state, env, files, Args("DL"));
    EXPECT_EQ(state.shared.russianUi, 1);
}

TEST_F(ResetTest, CallHistoryIsLoadedLineByLine) {
    Put(kCallHistoryFile, "DL1ABC 0042\r\nK5ZD 0100\n\nOH2XX 0007");
    ResetStats(state, env, files, Args());
    EXPECT_EQ(state.shared.callHistory, (TextList{"DL1ABC 0042", "K5ZD 0100", "", "OH2XX 0007"}));

    Put(kCallHistoryFile, "SM5XYZ 0001\r\n");
    ResetStats(state, env, files, Args());
    EXPECT_EQ(state.shared.callHistory, (TextList{"SM5XYZ 0001"}));

    std::filesystem::remove(kCallHistoryFile);
    ResetStats(state, env, files, Args());
    EXPECT_TRUE(state.shared.callHistory.empty());
}

}  // namespace
