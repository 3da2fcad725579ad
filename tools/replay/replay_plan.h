// The replay plan: which QSO becomes which AddData0 arguments, the contest dates
// and the own station for ResetStats0, and the operator's options. Portable.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "logs/callsign.h"
#include "contest/bad_qso_file.h"  // BadQsoFileName: the plug-in's own
#include "logs/log_records.h"

class CountryFile;

// The shortest gap between QSOs that the analysis calls a break.
inline constexpr int kDefaultBreakMinutes = 30;

struct ReplayOptions {
    std::string logFile;
    std::string ctyFile;  // empty: the default copy
    std::string myCall;   // empty: from the log
    std::optional<DateTime> start, end;
    bool endIsDate = false;  // --end named a day: the period takes all of it
    int exchangeField = 0;   // --exchange-field: which Cabrillo exchange field is the number; 0 the last
    std::string workdir = "out";
    std::string htmlFile;
    std::string analysisFile;  // --analysis: the analysis page
    std::string ledgerFile;    // --ledger: one CSV row per QSO
    std::string scpFile;       // --scp: MASTER.SCP for the unique-call check; empty: the default copy
    int breakMinutes = kDefaultBreakMinutes;  // --break-minutes: the shortest gap the analysis calls a break
    std::string headerFile;
    std::string dllFile;
    bool cabrillo = false;
    bool interactive = false;
    bool windows = false;
    std::string band;  // --band: the band the windows show, "20m"; empty: the log's busiest
    std::string liveUrl;       // --live: the scoreboard's post address; empty: no posts
    int liveEveryMinutes = 10;  // --live-every: minutes of the log's time between posts
    int liveSeconds = 30;       // --live-seconds: how long all the posts take; 0 as fast as answered
    bool help = false;
};

// The exit statuses of replay.exe, as --help and the guide list them.
enum ExitStatus : int {
    kAllRead = 0,
    kRunFailed = 1,
    kBadArguments = 2,  // or a bad country or header file; nothing written
    kSomeSkipped = 3,   // replayed; records that could not be read are listed
    kLogUnreadable = 4, // the log as a whole cannot be read; nothing written
};

// Throws InputError with a one-line reason when the arguments make no sense.
ReplayOptions ParseOptions(const std::vector<std::string>& args);
extern const char* const kReplayUsage;
// What follows an option error's one line.
extern const char* const kUsagePointer;

struct PlannedQso {
    LogQso qso;
    CallAnalysis station;
};

// The frequency as the host's argument holds it, 32 bits of Hz: 0 above 4.29 GHz,
// where the band name alone tells the plug-in where the QSO was.
inline unsigned HostFreqHz(const LogQso& q) { return q.freqHz <= 0xFFFFFFFFu ? static_cast<unsigned>(q.freqHz) : 0; }

struct ReplayPlan {
    std::string myCall;
    CallAnalysis me;
    DateTime start, end;
    std::vector<PlannedQso> qsos;
    std::vector<SkippedRecord> skipped;  // records the reader could not score
    std::vector<LogQso> outsidePeriod;   // left out by --start / --end
    std::vector<std::string> unknownCalls;  // calls the country file does not know, once each
};

// Throws InputError naming the log when there is no QSO, no own call, or the dates
// are reversed. QSOs outside a period given by --start / --end are left out.
ReplayPlan MakePlan(const LogFile& log, const CountryFile& cty, const ReplayOptions& options);

// The skipped records and the QSOs left out, with their reasons, and the line that
// counts what was replayed.
std::string SkipSummary(const ReplayPlan& plan);

// One row of a QSO for the operator's lists: record, line, date, time, band, mode, call.
std::string RecordRow(const LogQso& q);

// What the plug-in made of one QSO: AddData0's answer and the line it added to the
// bad-QSO file (empty when none), for the ledger to hold against the rule code.
struct QsoOutcome {
    int result = 1;
    std::string badLine;
};
// The contest band with the most QSOs of the plan (the lower band on a tie); the
// first contest band when the plan has none on them.
std::string BusiestBand(const ReplayPlan& plan);

// The warning for a Cabrillo export whose header leaves these tags empty; empty
// text when none is.
std::string EmptyHeaderWarning(const std::vector<std::string>& emptyTags);

// What the operator is told of CheckCall0's answer for a typed call.
std::string CallVerdict(int checkResult);

