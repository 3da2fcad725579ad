#include <gtest/gtest.h>

#include "contest/header.h"
#include "contest/writer.h"

namespace {

TEST(ReplaceAll, ScansLeftToRightWithoutRescanningWhatItInserted) {
    EXPECT_EQ(replaceAll("a/b/c", "/", "_"), "a_b_c");
    EXPECT_EQ(replaceAll("aaa", "aa", "b"), "ba");             // occurrences do not overlap
    EXPECT_EQ(replaceAll("<CR>x", "<CR>", "<CR><CR>"), "<CR><CR>x");  // no endless growth
    EXPECT_EQ(replaceAll("xyx", "x", "x"), "xyx");
    EXPECT_EQ(replaceAll("", "x", "y"), "");
    EXPECT_EQ(replaceAll("abc", "", "y"), "abc");
    EXPECT_EQ(replaceAll("one<LF>two<LF>", "<LF>", ""), "onetwo");
}

TEST(CabrilloFileStem, SlashesBecomeUnderscoresAndBlanksGo) {
    EXPECT_EQ(CabrilloFileStem("SM5XYZ"), "SM5XYZ");
    EXPECT_EQ(CabrilloFileStem("OH/SM5XYZ/P"), "OH_SM5XYZ_P");
    EXPECT_EQ(CabrilloFileStem("SM5XYZ\\M"), "SM5XYZ_M");
    EXPECT_EQ(CabrilloFileStem("  SM5 XYZ\t"), "SM5 XYZ");
    EXPECT_EQ(CabrilloFileStem(""), "ZAKO");
    EXPECT_EQ(CabrilloFileStem(" \t "), "ZAKO");
    EXPECT_EQ(CabrilloFileStem("/"), "_");
}

class QsoLine : public ::testing::Test {
protected:
    CabrilloExport cabrillo;
    const DateTime time = FromCalendar(2021, 3, 6, 9, 5, 40);

    std::string Line(std::string_view call, int freq, const DateTime& t, std::string_view exchRcvd = "0042") {
        cabrillo.qsoLines.clear();
        addCabrilloQsoLine(cabrillo, call, freq, "RY", t, "599", "0001", "579", exchRcvd);
        return cabrillo.qsoLines.empty() ? std::string("<none>") : cabrillo.qsoLines.back();
    }
};

TEST_F(QsoLine, PadsShortValuesAndWritesLongOnesWhole) {
    cabrillo.callsign = "SM5XYZ";
    EXPECT_EQ(Line("DL1ABC", 14085, time),
              "QSO: 14085 RY 2021-03-06 0905 SM5XYZ        599 0001   DL1ABC        579 0042\r\n");
    EXPECT_EQ(Line("K5ZD", 7040, time), "QSO:  7040 RY 2021-03-06 0905 SM5XYZ        599 0001   K5ZD          579 0042\r\n");
    EXPECT_EQ(Line("K5ZD", 0, time), "QSO:     0 RY 2021-03-06 0905 SM5XYZ        599 0001   K5ZD          579 0042\r\n");

    cabrillo.callsign = "OH0/SM5XYZ/MM12";  // 15 characters
    EXPECT_EQ(Line("VERYLONGCALL/QRP", 1296000, time, "12345678"),
              "QSO: 1296000 RY 2021-03-06 0905 OH0/SM5XYZ/MM12 599 0001   VERYLONGCALL/QRP 579 12345678\r\n");
}

TEST_F(QsoLine, NullAndInvalidDates) {
    cabrillo.callsign = "SM5XYZ";
    EXPECT_EQ(Line("DL1ABC", 14085, DateTime::Null()),
              "QSO: 14085 RY  SM5XYZ        599 0001   DL1ABC        579 0042\r\n");
    EXPECT_EQ(Line("DL1ABC", 14085, {0.0, DateTimeStatus::invalid}),
              "QSO: 14085 RY Invalid DateTime SM5XYZ        599 0001   DL1ABC        579 0042\r\n");
}

TEST_F(QsoLine, OnlyTheRttyModeTextGivesALine) {
    addCabrilloQsoLine(cabrillo, "DL1ABC", 14085, "CW", time, "599", "0001", "579", "0042");
    addCabrilloQsoLine(cabrillo, "DL1ABC", 14085, "ry", time, "599", "0001", "579", "0042");
    EXPECT_TRUE(cabrillo.qsoLines.empty());
}

}  // namespace
