#include "contest/bad_qso_file.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "fake_env.h"

namespace {

void Put(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

TEST(BadQsoFile, CreateAppendAndCount) {
    ScratchDir dir;
    ASSERT_TRUE(CreateBadQsoFile("bad.txt"));
    ASSERT_TRUE(AppendBadQsoLine("bad.txt", "QSO:  1  x   WRONG BAND !!!"));
    ASSERT_TRUE(AppendBadQsoLine("bad.txt", "QSO:  2  y   DUPE !!!"));
    EXPECT_EQ(Slurp("bad.txt"),
              "VERDA-WW-DX CONTEST UBN file \r\nQSO:  1  x   WRONG BAND !!!\r\nQSO:  2  y   DUPE !!!\r\n");
    EXPECT_EQ(CountRejectedLines("bad.txt"), 1);
    EXPECT_EQ(CountRejectedLines("missing.txt"), 0);
    EXPECT_FALSE(AppendBadQsoLine("", "lost"));  // no reset yet: no file name
}

TEST(BadQsoFile, RewriteDropsTheHeaderAndLinesHoldingBothTexts) {
    ScratchDir dir;
    Put("bad.txt", "anything\r\nA  K1A  12\r\nB  K1A  13\r\nC  K1AB  12\r\nlast  K1A  12");
    ASSERT_TRUE(RewriteBadQsoFileWithout("bad.txt", "  K1A  ", "  12"));
    EXPECT_EQ(Slurp("bad.txt"), "VERDA-WW-DX CONTEST UBN file  \r\nB  K1A  13\r\nC  K1AB  12\r\n");
}

TEST(BadQsoFile, RewriteOfAMissingFileLeavesTheHeaderAlone) {
    ScratchDir dir;
    ASSERT_TRUE(RewriteBadQsoFileWithout("bad.txt", "x", "y"));
    EXPECT_EQ(Slurp("bad.txt"), "VERDA-WW-DX CONTEST UBN file  \r\n");
}

TEST(BadQsoFile, AFileThatCannotBeReadIsLeftAlone) {
    ScratchDir dir;
    std::filesystem::create_directory("bad.txt");
    EXPECT_FALSE(RewriteBadQsoFileWithout("bad.txt", "x", "y"));
    EXPECT_TRUE(std::filesystem::is_directory("bad.txt"));
    EXPECT_EQ(CountRejectedLines("bad.txt"), 0);
}

}  // namespace
