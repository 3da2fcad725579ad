// QSO times from the logs' calendar fields and contest periods from the command
// line. Portable.
#pragma once

#include <string>

#include "base/date_time.h"

// A QSO time from calendar fields; false when a field is out of range (30 February).
bool MakeQsoTime(int year, int month, int day, int hour, int minute, int second, DateTime& out);
// A time given on a command line: "YYYY-MM-DD", optionally followed by a blank or
// 'T' and "HHMM" or "HH:MM"; false when it is no such valid time.
bool ParseWhen(const std::string& text, DateTime& out);
// The value of a date option such as --start; throws InputError naming the
// option and the value when it is no such time.
DateTime WhenOption(const std::string& option, const std::string& value);
