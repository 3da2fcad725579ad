#include "base/date_time.h"

#include <cmath>
#include <cstdio>

namespace {

// The host's type covers 1 January 100 to 31 December 9999.
constexpr double kFirstDay = -657434.0;  // 0100-01-01
constexpr double kLastDayEnd = 2958466.0;  // 10000-01-01
constexpr long long kEpochShift = 25569;  // days from 1899-12-30 to 1970-01-01

// Days since 1970-01-01 to civil date (proleptic Gregorian).
void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

long long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void AppendNumber(std::string& out, int value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, value);
    out += buf;
}

}  // namespace

bool SameTime(const DateTime& a, const DateTime& b) {
    if (a.status != b.status) return false;
    switch (a.status) {
        case DateTimeStatus::valid: return a.value == b.value;
        case DateTimeStatus::null: return true;
        default: return false;
    }
}

bool ToCalendar(const DateTime& t, CalendarTime& out) {
    if (t.status != DateTimeStatus::valid) return false;
    const double v = t.value;
    if (!std::isfinite(v) || v <= kFirstDay - 1.0 || v >= kLastDayEnd) return false;
    // Before 1899-12-30 the integer part counts days back while the fraction is
    // still the time of day, so split on the truncated value, not the floor.
    long long day = static_cast<long long>(std::trunc(v));
    long long seconds = std::llround(std::fabs(v - static_cast<double>(day)) * 86400.0);
    if (seconds >= 86400) {  // rounding reached midnight: next calendar day
        seconds -= 86400;
        ++day;
    }
    CivilFromDays(day - kEpochShift, out.year, out.month, out.day);
    if (out.year < 100 || out.year > 9999) return false;
    out.hour = static_cast<int>(seconds / 3600);
    out.minute = static_cast<int>(seconds / 60 % 60);
    out.second = static_cast<int>(seconds % 60);
    return true;
}

DateTime FromCalendar(int year, int month, int day, int hour, int minute, int second) {
    const long long days = DaysFromCivil(year, month, day) + kEpochShift;
    const double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    return {days >= 0 ? days + fraction : days - fraction, DateTimeStatus::valid};
}

std::string FormatTime(const DateTime& t, std::string_view pattern) {
    if (t.status == DateTimeStatus::null) return {};
    CalendarTime c{};
    if (!ToCalendar(t, c)) return "Invalid DateTime";
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 == pattern.size()) {
            out += pattern[i];
            continue;
        }
        switch (pattern[++i]) {
            case 'Y': AppendNumber(out, c.year, 4); break;
            case 'm': AppendNumber(out, c.month, 2); break;
            case 'd': AppendNumber(out, c.day, 2); break;
            case 'H': AppendNumber(out, c.hour, 2); break;
            case 'M': AppendNumber(out, c.minute, 2); break;
            case 'S': AppendNumber(out, c.second, 2); break;
            case '%': out += '%'; break;
            default: out += '%'; out += pattern[i]; break;
        }
    }
    return out;
}
