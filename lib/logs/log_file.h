// A contest log as read from the operator's file (ADIF, or Cabrillo QSO lines),
// before any callsign analysis. Portable. A record that cannot be scored is
// skipped with its reason; only a file unreadable as a whole throws InputError.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"

// Bad input: the message names the file, the line or record and what is wrong.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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

// Reads ADIF (.adi) or, when the text starts a Cabrillo log, its QSO lines; a
// UTF-16 file is decoded first. `name` is only used in messages.
LogFile ReadLogFile(std::string_view text, const std::string& name, const ReadOptions& options = {});

LogFile ReadAdifLog(std::string_view text, const std::string& name);
LogFile ReadCabrilloLog(std::string_view text, const std::string& name, const ReadOptions& options = {});

// Helpers shared by both readers.
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
std::string Trim(std::string_view text);
// The text with control bytes shown as \xNN, so that no message moves the cursor
// or rings the bell.
std::string Printable(std::string_view text);
bool HasControlByte(std::string_view text);
// The ADIF band that holds the frequency, as a lower-case name ("20m"); empty when none.
std::string BandOfFrequency(std::uint64_t freqHz);
// Lower edge of a band, used when a log gives the band but no frequency; 0 when unknown.
std::uint64_t BandEdgeHz(std::string_view band);
// The top of the highest ADIF band: a larger frequency is no frequency a log can hold.
std::uint64_t TopOfBandsHz();
// True when the text is `length` decimal digits.
bool IsDigits(std::string_view text, std::size_t length);
// A time given on a command line: "YYYY-MM-DD", optionally followed by a blank or
// 'T' and "HHMM" or "HH:MM"; false when it is no such valid time.
bool ParseWhen(const std::string& text, DateTime& out);
// A QSO time from calendar fields; false when a field is out of range (30 February).
bool MakeQsoTime(int year, int month, int day, int hour, int minute, int second, DateTime& out);
// Decimal text with an optional fraction ("14.0855") scaled by 10^scaleDigits;
// false when the text is not such a number or does not fit 64 bits.
bool ParseDecimal(std::string_view text, int scaleDigits, std::uint64_t& out);
// UTF-16 text (by its byte-order mark, or NUL in every other byte) as 8-bit text,
// one byte a character so that ADIF lengths still count right; characters above
// 0xFF become '?'. Nothing when the text is not UTF-16.
bool DecodeUtf16(std::string_view text, std::string& out);
