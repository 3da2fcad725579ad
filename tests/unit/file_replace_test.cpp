#include "contest/file_replace.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "fake_env.h"

namespace {

TEST(ReplaceFileContent, ReplacesOrCreatesWholeFiles) {
    ScratchDir dir;
    ASSERT_TRUE(ReplaceFileContent("log.cbr", "first\r\n"));
    EXPECT_EQ(Slurp("log.cbr"), "first\r\n");
    ASSERT_TRUE(ReplaceFileContent("log.cbr", "second"));
    EXPECT_EQ(Slurp("log.cbr"), "second");
    EXPECT_FALSE(std::filesystem::exists("log.cbr.new"));
    EXPECT_FALSE(ReplaceFileContent("", "x"));
}

TEST(ReplaceFileContent, AFailedWriteLeavesTheOldFileAsItWas) {
    ScratchDir dir;
    ASSERT_TRUE(ReplaceFileContent("log.cbr", "the good log"));
    std::filesystem::create_directory("log.cbr.new");  // the new copy cannot be written
    EXPECT_FALSE(ReplaceFileContent("log.cbr", "half"));
    EXPECT_EQ(Slurp("log.cbr"), "the good log");

    std::filesystem::create_directory("folder");
    std::ofstream("folder/kept.txt") << "kept";
    EXPECT_FALSE(ReplaceFileContent("folder", "x"));  // a folder with files is not replaced
    EXPECT_EQ(Slurp("folder/kept.txt"), "kept");
}

}  // namespace
