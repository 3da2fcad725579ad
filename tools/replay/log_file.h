// A contest log as read from the operator's file (ADIF, or Cabrillo QSO lines),
// before any callsign analysis. Portable; the readers throw InputError on bad input.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "log/date_time.h"

// Bad input: the message names the file, the line or record and what is wrong.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct LogQso {
    int record = 0;  // 1-based position in the file
    int line = 0;    // line where the record starts
    std::string call;
    DateTime time;
    std::string band;  // lower-case band name such as "20m"; empty when unknown
    std::string mode;  // upper case
    std::uint32_t freqHz = 0;
    std::string rstSent, rstRcvd, exchSent, exchRcvd;
    std::string stationCall;  // own call as logged, may be empty
};

struct LogFile {
    std::vector<LogQso> qsos;
    std::string stationCall;  // from the log's header or first record that names it
};

// Reads ADIF (.adi) or, when the text starts a Cabrillo log, its QSO lines.
// `name` is only used in messages.
LogFile ReadLogFile(std::string_view text, const std::string& name);

LogFile ReadAdifLog(std::string_view text, const std::string& name);
LogFile ReadCabrilloLog(std::string_view text, const std::string& name);

// Helpers shared by both readers.
std::string ToUpper(std::string_view text);
std::string Trim(std::string_view text);
// The band that holds the frequency, as a lower-case name ("20m"); empty when none.
std::string BandOfFrequency(std::uint32_t freqHz);
// Lower edge of a band, used when a log gives the band but no frequency; 0 when unknown.
std::uint32_t BandEdgeHz(std::string_view band);
// True when the text is `length` decimal digits.
bool IsDigits(std::string_view text, std::size_t length);
// A QSO time from calendar fields; false when a field is out of range (30 February).
bool MakeQsoTime(int year, int month, int day, int hour, int minute, int second, DateTime& out);
// Decimal text with an optional fraction ("14.0855") scaled by 10^scaleDigits;
// false when the text is not such a number or does not fit.
bool ParseDecimal(std::string_view text, int scaleDigits, std::uint32_t& out);
