// The module's contest state: the log and the lists that intake, reset, scoring,
// report and windows share. One instance lives for as long as the module is loaded.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "base/cabrillo_export.h"
#include "base/cinfo.h"
#include "contest/contest_rules.h"
#include "contest/log_index.h"
#include "contest/text_keys.h"

using TextList = std::vector<std::string>;
using PerBandLists = std::array<TextList, kBandCount>;

struct ContestState {
    std::vector<CInfo> log;  // g_log: stored QSOs (valid and dupes) in the host's order
    LogIndex logIndex;       // changes with the log, under the same lock
    TextKeys exchangeKeys;   // keys of the stored QSOs' multExch; cleared with the log

    std::string myCall;
    std::string myCountry;
    std::string myContinent;
    std::string startText;  // "%d.%m" of the contest start
    std::string endText;    // "%d.%m.%Y" of the contest end
    std::string startYear;  // "%Y" of the contest start

    int makeCabrillo = 0;
    int russianUi = 0;  // once set, stays set while the module is loaded
    int htmlResults = 0;

    std::string hostVersion;
    std::string badQsoPath;  // empty until the first reset

    TextList callHistory;
    TextList workedBands;  // band texts in order of first appearance
    PerBandLists bandRows;
    PerBandLists multExchByBand;
    PerBandLists nordicByBand;
    // The one lock between the host's thread and the window thread: held around
    // every change of the log, the call history and the per-band lists above, and
    // by the window thread around its reads of them (and its in-place sorting). Never
    // held while calling the host or waiting for the other thread.
    std::mutex lock;

    std::int64_t claimedScore = 0;
    CabrilloExport cabrillo;  // header and QSO lines of the Cabrillo log
    int badQsoCount = 0;
    std::string resultText;  // the last report; valid until the next results call
};
