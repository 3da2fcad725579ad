// The checks an operator runs on his log before the sponsor's log checker does.
// Portable.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "ledger.h"
#include "logs/master_scp.h"
#include "logs/rtty_shift.h"

// One QSO a check points at: record, time, band, call, and what the check saw.
struct FlaggedQso {
    int record = 0;
    DateTime time;
    std::string band, call, note;
};

struct LogChecks {
    std::vector<FlaggedQso> differentNumbers;  // one call, different received numbers on different bands
    std::vector<FlaggedQso> notFourDigits;     // received exchanges, with the figures-shift reading
    std::vector<FlaggedQso> dupes;             // with the QSO they duplicate
    std::vector<FlaggedQso> uniques;           // once in the log and not in MASTER.SCP
    std::vector<FlaggedQso> outsidePeriod;
    bool uniquesChecked = false;  // false without a MASTER.SCP
};

// A null `masterScp` leaves the unique-call check out.
LogChecks CheckLog(const ReplayPlan& plan, const Ledger& ledger, const std::unordered_set<std::string>* masterScp);
