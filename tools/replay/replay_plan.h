// The replay plan: which QSO becomes which AddData0 arguments, the contest dates
// and the own station for ResetStats0, and the operator's options. Portable.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "callsign.h"
#include "log_file.h"

class CountryFile;

struct ReplayOptions {
    std::string logFile;
    std::string ctyFile;  // empty: the default copy
    std::string myCall;   // empty: from the log
    std::optional<DateTime> start, end;
    std::string workdir = "out";
    std::string htmlFile;
    std::string headerFile;
    std::string dllFile;
    bool cabrillo = false;
    bool interactive = false;
    bool windows = false;
    bool help = false;
};

// Throws InputError with a one-line reason when the arguments make no sense.
ReplayOptions ParseOptions(const std::vector<std::string>& args);
extern const char* const kReplayUsage;

struct PlannedQso {
    LogQso qso;
    CallAnalysis station;
};

struct ReplayPlan {
    std::string myCall;
    CallAnalysis me;
    DateTime start, end;
    std::vector<PlannedQso> qsos;
    std::vector<std::string> unknownCalls;  // calls the country file does not know, once each
};

// Throws InputError naming the log when there is no QSO, no own call, or the dates are reversed.
ReplayPlan MakePlan(const LogFile& log, const CountryFile& cty, const ReplayOptions& options);

// The bad-QSO file the plug-in writes for this contest end.
std::string BadQsoFileName(const DateTime& end);

// What the plug-in made of one QSO: AddData0's answer and the line it added to the
// bad-QSO file (empty when none).
struct QsoOutcome {
    int result = 1;
    std::string badLine;
};

// A short account of the rejected and dupe QSOs with their reasons.
std::string RejectSummary(const ReplayPlan& plan, const std::vector<QsoOutcome>& outcomes);
