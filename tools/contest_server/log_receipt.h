// What an operator is told at once about an uploaded log: read by the same
// readers, and scored by the same rule code, as the sponsor's check. Portable.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cross_check.h"
#include "utc_time.h"

class CountryFile;
struct ContestConfig;

// A file that is no log this contest can take; `status` is the HTTP one.
class LogRefused : public std::runtime_error {
public:
    LogRefused(int status, const std::string& why) : std::runtime_error(why), status(status) {}
    int status;
};

struct FlaggedQso {
    int line = 0;
    std::string verdict;  // "dupe", "outside-period", "wrong-band", "wrong-mode"
    std::string text;     // the line as the log has it
};

struct SkippedLine {
    int line = 0;
    std::string reason;
};

struct Receipt {
    std::string call, category;
    std::string claimedLine;  // the header's CLAIMED-SCORE, empty when it has none
    std::int64_t qsos = 0;
    std::int64_t skippedCount = 0;
    std::vector<SkippedLine> skipped;  // the first of them
    ScoreFigures claimed;               // as our rules compute it
    int outsidePeriod = 0, dupes = 0, wrongBand = 0, wrongMode = 0;
    std::vector<FlaggedQso> flagged;  // the first of them
    std::string sha256;
    std::int64_t bytes = 0;
    // Filled in by the intake once the log is kept:
    UtcSeconds received = 0;
    std::int64_t version = 0;  // this call's uploads so far, this one counted
    std::string link;          // the private page's address, from the server's root
};

// The check's settings for the contest's period.
CheckSettings SettingsOf(const ContestConfig& config);

// Reads the file; throws LogRefused when it is not text, names no call, or names
// one that cannot be a call.
Receipt ReadReceipt(std::string_view bytes, const CountryFile& cty, const CheckSettings& settings);

std::string ReceiptText(const Receipt& r);
std::string ReceiptJson(const Receipt& r);
std::string ReceiptHtml(const Receipt& r, const std::string& contest);
