#include "base/std_files.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "fake_env.h"

namespace {

TEST(StdFilesReplace, ReplacesOrCreatesWholeFiles) {
    ScratchDir dir;
    StdFiles files;
    ASSERT_TRUE(files.ReplaceWhole("log.cbr", "first\r\n"));
    EXPECT_EQ(Slurp("log.cbr"), "first\r\n");
    ASSERT_TRUE(files.ReplaceWhole("log.cbr", "second"));
    EXPECT_EQ(Slurp("log.cbr"), "second");
    EXPECT_FALSE(std::filesystem::exists("log.cbr.new"));
    EXPECT_FALSE(files.ReplaceWhole("", "x"));
}

TEST(StdFilesReplace, AFailedWriteLeavesTheOldFileAsItWas) {
    ScratchDir dir;
    StdFiles files;
    ASSERT_TRUE(files.ReplaceWhole("log.cbr", "the good log"));
    std::filesystem::create_directory("log.cbr.new");  // the new copy cannot be written
    EXPECT_FALSE(files.ReplaceWhole("log.cbr", "half"));
    EXPECT_EQ(Slurp("log.cbr"), "the good log");

    std::filesystem::create_directory("folder");
    std::ofstream("folder/kept.txt") << "kept";
    EXPECT_FALSE(files.ReplaceWhole("folder", "x"));  // a folder with files is not replaced
    EXPECT_EQ(Slurp("folder/kept.txt"), "kept");
}

}  // namespace
