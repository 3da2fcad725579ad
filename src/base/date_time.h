// The host's date/time value: days since 30 December 1899 (fraction = time of day)
// plus a status, and its strftime-style formatting.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class DateTimeStatus : std::int32_t { valid = 0, invalid = 1, null = 2 };

// Layout matches the first 12 bytes of the host's date/time object.
struct DateTime {
    double value = 0.0;
    DateTimeStatus status = DateTimeStatus::valid;

    static DateTime Null() { return {0.0, DateTimeStatus::null}; }
};

// Removal compares times this way: same status and, when both are valid, the same
// stored value; two null times are equal, two invalid times never are.
bool SameTime(const DateTime& a, const DateTime& b);

// Calendar fields of a valid time, rounded to the nearest second.
struct CalendarTime {
    int year, month, day, hour, minute, second;
};

// False for null, invalid, NaN, infinities and dates outside the years 100..9999.
bool ToCalendar(const DateTime& t, CalendarTime& out);

// Builds a time from calendar fields (used by tests and the stand-in hosts).
DateTime FromCalendar(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// Formats with %Y %m %d %H %M %S and %% (other text is copied). A null time gives
// the empty text, an invalid or unrepresentable one "Invalid DateTime".
std::string FormatTime(const DateTime& t, std::string_view pattern);
