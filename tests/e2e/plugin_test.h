// Fixture of the end-to-end suites: a fresh working directory with a Plugins
// folder and a freshly loaded Stats.dll for every test.
#pragma once

#include <gtest/gtest.h>

#include "stand_in_host.h"

class PluginTest : public ::testing::Test {
public:
    // The bad-QSO file of the default reset (contest end 7 March 2021).
    static constexpr const char* kBadQsoFile = "BadQSO_StatsVERDAWW_07_03_2021.txt";

protected:
    ScratchFolder folder;  // made current before the plug-in loads
    StatsDll dll;

    std::string BadQso() const { return ReadFileBytes(kBadQsoFile); }
};
