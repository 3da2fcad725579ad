// The reset's set-up (host version, "Start" key, bad-QSO file) and the verdicts
// while the operator types, through the real DLL.
#include <windows.h>

#include <cstring>

#include "plugin_settings.h"
#include "plugin_test.h"
#include "window_driver.h"

namespace {

void HostVersion(const std::string& line) { WriteFileBytes("Tevo2.ini", "[Main]\r\n" + line + "\r\nOther=1\r\n"); }

using ResetTest = PluginTest;

TEST_F(ResetTest, StartKeyAlternatesSoTwoResetsOpenTheWindowsOnce) {
    EXPECT_EQ(Setting("Start"), "<missing>");
    dll.ResetStats0(ResetCall{});
    EXPECT_EQ(Setting("Start"), "1");
    dll.ResetStats0(ResetCall{});
    EXPECT_EQ(Setting("Start"), "0");
    dll.ResetStats0(ResetCall{});
    EXPECT_EQ(Setting("Start"), "0");  // the windows of the first reset are still open
}

TEST_F(ResetTest, ACabrilloResetLeavesStartAtZero) {
    ResetCall cabrillo;
    cabrillo.makeCabrillo = 1;
    auto header = std::async(std::launch::async, [] {
        if (HWND d = WaitForDialog("VERDA-WW-DX")) PressButton(d, IDCANCEL);
    });
    dll.ResetStats0(cabrillo);
    header.get();
    EXPECT_EQ(Setting("Start"), "0");
}

TEST_F(ResetTest, AStartValueLongerThanAProfileBufferIsReadWhole) {
    SetSetting("Start", std::string(150, '0') + "1");
    dll.ResetStats0(ResetCall{});
    EXPECT_EQ(Setting("Start"), "0");  // read as 1: the windows stay closed this time
}

TEST_F(ResetTest, BadQsoFileIsNamedAfterTheEndDateAndStartsWithItsHeader) {
    WriteFileBytes(kBadQsoFile, "old lines\r\n");
    dll.ResetStats0(ResetCall{});
    EXPECT_EQ(BadQso(), "VERDA-WW-DX CONTEST UBN file \r\n");

    ResetCall christmas;
    christmas.end = HostTime(2022, 12, 25, 23, 59);
    dll.ResetStats0(christmas);
    EXPECT_EQ(ReadFileBytes("BadQSO_StatsVERDAWW_25_12_2022.txt"), "VERDA-WW-DX CONTEST UBN file \r\n");
    EXPECT_TRUE(FileExists(kBadQsoFile));  // the old pass's file stays
}

TEST_F(ResetTest, NullArgumentsGiveAFileWithoutADate) {
    ResetCall nulls;
    nulls.hostFolder = nulls.myCall = nulls.myPrefix = nulls.myCountry = nulls.myContinent = nullptr;
    nulls.nullDates = true;
    EXPECT_EQ(dll.ResetStats0(nulls), 1);
    EXPECT_EQ(ReadFileBytes("BadQSO_StatsVERDAWW_.txt"), "VERDA-WW-DX CONTEST UBN file \r\n");
    EXPECT_EQ(dll.Results().rfind("  VERDA-WW-DX-Contest - \r\n            Contestant: \r\n", 0), 0u);
}

class CheckTest : public PluginTest {
protected:
    void Reset() { ASSERT_EQ(dll.ResetStats0(ResetCall{}), 1); }
    void SetUp() override { Reset(); }

    int Check(const char* call, const char* band = "20m", const char* country = "DL", const char* prefix = "DL1") {
        return dll.CheckCall0({.call = call, .prefix = prefix, .country = country, .band = band, .band2 = band});
    }
};

TEST_F(CheckTest, VerdictsOnAnEmptyAndAGrowingLog) {
    EXPECT_EQ(Check("DL1ABC"), 2);  // nothing on 20m yet
    EXPECT_EQ(Check("DL1"), 1);     // too short to judge
    EXPECT_EQ(Check("DL1ABC", "20m", ""), 1);

    QsoCall dl;
    dll.AddData0(dl);
    EXPECT_EQ(Check("DL1ABC"), 0);                // dupe on 20m
    EXPECT_EQ(Check("DL1ABC", "40m"), 2);         // another band
    EXPECT_EQ(Check("DL2XYZ"), 1);                // a non-Nordic station is already on 20m
    EXPECT_EQ(Check("DL1", "20m"), 1);            // short, though in the log

    QsoCall sm;
    sm.call = "SM5ABC";
    sm.country = "SM";
    sm.prefix = "SM5";
    dll.AddData0(sm);
    EXPECT_EQ(Check("SM5XXX", "20m", "SM", "SM5"), 1);
    EXPECT_EQ(Check("SM5XXX", "15m", "SM", "SM5"), 2);
    EXPECT_EQ(Check("SM0XXX", "20m", "SM", "SM0"), 2);
}

TEST_F(CheckTest, BandsMustAgreeAndBeAccepted) {
    CheckCallArgs c;
    c.band = "20m";
    c.band2 = "20M";
    EXPECT_EQ(dll.CheckCall0(c), 2);
    c.band2 = nullptr;  // absent: nothing to agree with
    EXPECT_EQ(dll.CheckCall0(c), 2);
    c.band2 = "";
    EXPECT_EQ(dll.CheckCall0(c), 4);
    c.band2 = "40m";
    EXPECT_EQ(dll.CheckCall0(c), 4);
    c.band = c.band2 = "30m";
    EXPECT_EQ(dll.CheckCall0(c), 4);
    c.band = c.band2 = "20m";
    c.mode = "PSK31";
    EXPECT_EQ(dll.CheckCall0(c), 4);
    c.mode = "rtty";
    EXPECT_EQ(dll.CheckCall0(c), 2);
}

TEST_F(CheckTest, HostVersions219And220RejectWithOne) {
    for (const char* version : {"2.19", "2.20"}) {
        HostVersion(std::string("Tevo=") + version);
        Reset();
        EXPECT_EQ(Check("DL1ABC", "30m"), 1) << version;
        CheckCallArgs psk;
        psk.mode = "PSK31";
        EXPECT_EQ(dll.CheckCall0(psk), 1) << version;
    }
    HostVersion("Tevo=2.21");
    Reset();
    EXPECT_EQ(Check("DL1ABC", "30m"), 4);
    HostVersion("  Tevo=2.19");  // read from the line's sixth character on: "o=2.19"
    Reset();
    EXPECT_EQ(Check("DL1ABC", "30m"), 4);
}

TEST_F(CheckTest, AVersionFileFoundInTheHostFolderIsReadFromTheWorkingFolder) {
    CreateDirectoryA("Host", nullptr);
    WriteFileBytes("Host\\Tevo2.ini", "[x]\r\n");
    HostVersion("Tevo=2.20");
    ResetCall reset;
    reset.hostFolder = "Host\\";
    dll.ResetStats0(reset);
    EXPECT_EQ(Check("DL1ABC", "30m"), 1);

    DeleteFileA("Host\\Tevo2.ini");  // nothing in the host folder: version "Tevo"
    dll.ResetStats0(reset);
    EXPECT_EQ(Check("DL1ABC", "30m"), 4);
}

TEST_F(CheckTest, NeverWritesTheHostsBuffersAndSurvivesNulls) {
    std::memset(dll.checkBuffer1, 'x', sizeof dll.checkBuffer1);
    std::memset(dll.checkBuffer2, 'y', sizeof dll.checkBuffer2);
    CheckCallArgs nulls;
    nulls.call = nulls.mode = nulls.prefix = nulls.country = nulls.continent = nulls.band = nulls.band2 = nullptr;
    EXPECT_EQ(dll.CheckCall0(nulls), 4);
    EXPECT_EQ(Check("DL1ABC"), 2);
    for (char c : dll.checkBuffer1) EXPECT_EQ(c, 'x');
    for (char c : dll.checkBuffer2) EXPECT_EQ(c, 'y');
}

TEST_F(CheckTest, ExchangesAreExactlyFourDigits) {
    for (const char* ok : {"0123", "1999", "0000"}) EXPECT_EQ(dll.IsValidExchg0(ok), 1) << ok;
    for (const char* bad : {"599", "12345", "12a4", "", " 123", "123\xB9"}) EXPECT_EQ(dll.IsValidExchg0(bad), 0) << bad;
    EXPECT_EQ(dll.IsValidExchg0(nullptr), 0);
}

}  // namespace
