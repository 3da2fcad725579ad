// The cross-check of one contest's logs: each log's clock offset, the matching
// of each QSO with the other station's, each QSO's verdict with its evidence,
// and each log's claimed and checked score. Portable.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "contest_definition.h"
#include "contest_logs.h"
#include "verdicts.h"

class CountryFile;

struct CheckSettings {
    int windowMinutes = 5;        // two QSOs match within this, clocks corrected
    int offsetLimitMinutes = 15;  // the largest clock offset looked for
    int minSureMatches = 3;       // fewer sure matches leave a log's clock as it is
    // The contest's rules: VERDA-WW-DX by the plug-in's rule code unless a
    // definition says otherwise.
    ContestDefinition contest;
    const std::unordered_set<std::string>* scp = nullptr;
};

struct CheckResult {
    std::vector<LogCheck> logs;  // in the order of ContestLogs::logs
    int counts[kVerdictCount] = {};
};

// `progress` (may be empty) hears the share done, 0 to 1, now and then.
CheckResult CheckContest(const ContestLogs& logs, const CountryFile& cty, const CheckSettings& settings,
                         const std::function<void(double)>& progress = {});
