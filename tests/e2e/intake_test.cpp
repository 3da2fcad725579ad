// QSO intake and removal through the real DLL: verdicts, the log's dupe memory
// and the bad-QSO file byte for byte.
#include <windows.h>

#include "plugin_test.h"

namespace {

const std::string kHeader = "VERDA-WW-DX CONTEST UBN file \r\n";
const std::string kRewrittenHeader = "VERDA-WW-DX CONTEST UBN file  \r\n";

class IntakeTest : public PluginTest {
protected:
    void SetUp() override { ASSERT_EQ(dll.ResetStats0(ResetCall{}), 1); }

    // The line the default QSO gets, with another call, time text and verdict.
    static std::string Line(const std::string& call, const std::string& when, const std::string& verdict) {
        return "QSO:  14085  RTTY  " + when + "  SM5XYZ  599  0001  " + call + "  579  0042" + verdict + "\r\n";
    }
};

TEST_F(IntakeTest, EachVerdictWritesItsLineAndOnlyRejectionsReturnZero) {
    QsoCall wrongBand;
    wrongBand.band = "30m";
    QsoCall wrongMode;
    wrongMode.band = "40m";
    wrongMode.mode = "PSK31";
    QsoCall noSent;
    noSent.exchSent = "";
    QsoCall noRcvd;
    noRcvd.exchRcvd = "";
    QsoCall valid;
    QsoCall dupe;
    dupe.time = HostTime(2021, 3, 6, 13, 5);
    dupe.freqHz = 14085999;

    EXPECT_EQ(dll.AddData0(wrongBand), 0);
    EXPECT_EQ(dll.AddData0(wrongMode), 0);
    EXPECT_EQ(dll.AddData0(noSent), 0);
    EXPECT_EQ(dll.AddData0(noRcvd), 0);
    EXPECT_EQ(dll.AddData0(valid), 1);
    EXPECT_EQ(dll.AddData0(dupe), 1);

    EXPECT_EQ(BadQso(), kHeader +
                            Line("DL1ABC", "2021-03-06 1200", "   WRONG BAND !!!") +
                            "QSO:  14085  PSK31  2021-03-06 1200  SM5XYZ  599  0001  DL1ABC  579  0042   WRONG MODE !!!\r\n"
                            "QSO:  14085  RTTY  2021-03-06 1200  SM5XYZ  599    DL1ABC  579  0042   NO RX NUMBER !!!\r\n"
                            "QSO:  14085  RTTY  2021-03-06 1200  SM5XYZ  599  0001  DL1ABC  579     NO RX NUMBER !!!\r\n" +
                            Line("DL1ABC", "2021-03-06 1305", "   DUPE !!!"));
}

TEST_F(IntakeTest, DupesMatchCallBandAndModeExactly) {
    QsoCall first;
    QsoCall otherBand;
    otherBand.band = "40m";
    QsoCall upperBand;
    upperBand.band = "20M";  // passes the band test, yet is no dupe of "20m"
    QsoCall lowerMode;
    lowerMode.mode = "rtty";
    QsoCall second;
    second.time = HostTime(2021, 3, 6, 14, 0);
    second.exchRcvd = "0099";
    QsoCall third;
    third.time = HostTime(2021, 3, 7, 1, 0);

    for (const auto* q : {&first, &otherBand, &upperBand, &lowerMode, &second, &third}) EXPECT_EQ(dll.AddData0(*q), 1);
    EXPECT_EQ(BadQso(), kHeader + "QSO:  14085  RTTY  2021-03-06 1400  SM5XYZ  599  0001  DL1ABC  579  0099   DUPE !!!\r\n" +
                            Line("DL1ABC", "2021-03-07 0100", "   DUPE !!!"));
}

TEST_F(IntakeTest, RemovalDropsOnlyTheLinesOfThatQso) {
    QsoCall k1a;
    k1a.call = "K1A";
    k1a.time = HostTime(2021, 3, 6, 12, 34);
    QsoCall k1ab = k1a;
    k1ab.call = "K1AB";
    QsoCall k1aNextDay = k1a;
    k1aNextDay.time = HostTime(2021, 3, 7, 12, 34);
    QsoCall k1aLater = k1a;
    k1aLater.time = HostTime(2021, 3, 6, 12, 35);
    // Each pair makes one dupe line per QSO: stored first, dupe second.
    for (const auto* q : {&k1a, &k1a, &k1ab, &k1ab, &k1aNextDay, &k1aLater}) dll.AddData0(*q);
    ASSERT_EQ(dll.RemoveData0(k1a), 1);

    EXPECT_EQ(BadQso(), kRewrittenHeader + Line("K1AB", "2021-03-06 1234", "   DUPE !!!") +
                            Line("K1A", "2021-03-07 1234", "   DUPE !!!") +
                            Line("K1A", "2021-03-06 1235", "   DUPE !!!"));
}

TEST_F(IntakeTest, RemovalTakesOutOneStoredQsoWithExactlyThatTime) {
    QsoCall q;
    dll.AddData0(q);
    QsoCall offBySecond = q;
    offBySecond.time = HostTime(2021, 3, 6, 12, 0, 1);
    EXPECT_EQ(dll.RemoveData0(offBySecond), 1);
    dll.AddData0(q);  // still in the log: a dupe
    EXPECT_NE(BadQso().find("DUPE"), std::string::npos);

    dll.RemoveData0(q);  // takes out the first of the two
    dll.RemoveData0(q);  // and now the second
    WriteFileBytes(kBadQsoFile, kHeader);
    EXPECT_EQ(dll.AddData0(q), 1);
    EXPECT_EQ(BadQso(), kHeader);  // log was empty: no dupe
}

TEST_F(IntakeTest, RemovalFromAnEmptyLogRewritesTheHeader) {
    EXPECT_EQ(dll.RemoveData0(QsoCall{}), 1);
    EXPECT_EQ(BadQso(), kRewrittenHeader);
    DeleteFileA(kBadQsoFile);
    EXPECT_EQ(dll.RemoveData0(QsoCall{}), 1);
    EXPECT_EQ(BadQso(), kRewrittenHeader);
}

TEST_F(IntakeTest, ABadQsoFileThatCannotBeReadIsLeftUntouched) {
    QsoCall q;
    dll.AddData0(q);
    dll.AddData0(q);
    const std::string before = BadQso();
    dll.CheckCall0(CheckCallArgs{});  // lets go of the file the dupe's line kept open
    HANDLE locked = CreateFileA(kBadQsoFile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_EQ(dll.RemoveData0(q), 1);
    CloseHandle(locked);
    EXPECT_EQ(BadQso(), before);

    // The log itself was still updated: one QSO left, so the next is a dupe again.
    dll.AddData0(q);
    EXPECT_EQ(BadQso(), before + Line("DL1ABC", "2021-03-06 1200", "   DUPE !!!"));
}

// Every text and the time passed as null pointers.
QsoCall AllNull() {
    QsoCall q;
    q.myCall = q.call = q.mode = q.rstSent = q.rstRcvd = q.exchSent = q.exchRcvd = q.prefix = q.country =
        q.continent = q.band = nullptr;
    q.nullTime = true;
    return q;
}

TEST_F(IntakeTest, NullArgumentsReadAsEmptyTextAndNullTime) {
    const QsoCall nulls = AllNull();
    EXPECT_EQ(dll.AddData0(nulls), 0);
    EXPECT_EQ(dll.RemoveData0(nulls), 1);

    QsoCall nullTexts = nulls;
    nullTexts.band = "20m";
    nullTexts.mode = "RTTY";
    nullTexts.exchSent = "1";
    nullTexts.exchRcvd = "2";
    EXPECT_EQ(dll.AddData0(nullTexts), 1);
    EXPECT_EQ(dll.AddData0(nullTexts), 1);
    EXPECT_EQ(BadQso(), kRewrittenHeader + "QSO:  14085  RTTY        1      2   DUPE !!!\r\n");
}

TEST_F(IntakeTest, AWrongBandLineWithAllTextsNull) {
    const QsoCall nulls = AllNull();
    EXPECT_EQ(dll.AddData0(nulls), 0);
    EXPECT_EQ(BadQso(), kHeader + "QSO:  14085                   WRONG BAND !!!\r\n");
}

TEST(IntakeBeforeReset, QsosAreJudgedButNoFileIsWritten) {
    ScratchFolder folder;
    StatsDll dll;
    QsoCall q;
    EXPECT_EQ(dll.AddData0(q), 1);
    EXPECT_EQ(dll.AddData0(q), 1);
    q.band = "30m";
    EXPECT_EQ(dll.AddData0(q), 0);
    EXPECT_EQ(dll.RemoveData0(q), 1);
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA("BadQSO*", &data);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
}

}  // namespace
