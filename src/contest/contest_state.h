// The module's contest state: the log and the lists that intake, reset, scoring,
// report and windows share. One instance lives for as long as the module is loaded.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/cabrillo_export.h"
#include "base/cinfo.h"
#include "base/thread_annotations.h"
#include "contest/contest_rules.h"
#include "contest/log_index.h"
#include "contest/text_keys.h"

using TextList = std::vector<std::string>;
using PerBandLists = std::array<TextList, kBandCount>;

// What the window thread reads, with the one lock between it and the host's
// thread. The host's thread changes it only while holding the lock and reads it
// without (lock.AssertWriterReads()); the window thread holds the lock around its
// reads (and its in-place sorting). Never held while calling the host or waiting
// for the other thread.
struct WindowShared {
    mutable Mutex lock;

    std::vector<CInfo> log GUARDED_BY(lock);  // `g_log`: stored QSOs (valid and dupes) in the host's order
    std::string startYear GUARDED_BY(lock);   // "%Y" of the contest start
    int russianUi GUARDED_BY(lock) = 0;       // once set, stays set while the module is loaded
    TextList callHistory GUARDED_BY(lock);
    PerBandLists bandRows GUARDED_BY(lock);
    PerBandLists multExchByBand GUARDED_BY(lock);
    PerBandLists nordicByBand GUARDED_BY(lock);
};

// Everything but `shared` belongs to the host's thread alone.
struct ContestState {
    WindowShared shared;

    LogIndex logIndex;       // changes with the log
    TextKeys exchangeKeys;   // keys of the stored QSOs' multExch; cleared with the log

    std::string myCall;
    std::string myCountry;
    std::string myContinent;
    std::string startText;  // "%d.%m" of the contest start
    std::string endText;    // "%d.%m.%Y" of the contest end

    int makeCabrillo = 0;
    int htmlResults = 0;

    std::string hostVersion;
    std::string badQsoPath;  // empty until the first reset

    TextList workedBands;  // band texts in order of first appearance

    std::int64_t claimedScore = 0;
    CabrilloExport cabrillo;  // header and QSO lines of the Cabrillo log
    int badQsoCount = 0;
    std::string resultText;  // the last report; valid until the next results call
};
