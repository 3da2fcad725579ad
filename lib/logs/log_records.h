// A contest log as read from the operator's file (ADIF, or Cabrillo QSO lines),
// before any callsign analysis: the records the readers produce. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/date_time.h"

struct LogQso {
    int record = 0;  // 1-based position in the file, skipped records counted
    int line = 0;    // line where the record starts
    std::string call;
    DateTime time;
    std::string band;  // lower-case band name such as "20m"; empty when unknown
    std::string mode;  // upper case
    std::uint64_t freqHz = 0;
    std::string rstSent, rstRcvd, exchSent, exchRcvd;
    std::string stationCall;  // own call as logged, may be empty
};

// A record left out because it cannot be scored, and why.
struct SkippedRecord {
    int record = 0;
    int line = 0;
    std::string reason;  // printable, no control bytes
};

struct LogFile {
    std::vector<LogQso> qsos;
    std::vector<SkippedRecord> skipped;
    std::string stationCall;  // from the log's header or first record that names it
};

struct ReadOptions {
    // Cabrillo: which received (and sent) exchange field is the number, 1-based;
    // 0 for the last one.
    int exchangeField = 0;
};
