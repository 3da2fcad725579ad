#include "logs/dates.h"

#include "logs/input_error.h"

bool MakeQsoTime(int year, int month, int day, int hour, int minute, int second, DateTime& out) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return false;
    out = FromCalendar(year, month, day, hour, minute, second);
    return true;
}

bool ParseWhen(const std::string& text, DateTime& out) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    const auto digits = [&](std::size_t at, std::size_t n, int& v) {
        if (at + n > text.size()) return false;
        v = 0;
        for (std::size_t i = at; i < at + n; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
            v = v * 10 + (text[i] - '0');
        }
        return true;
    };
    if (!digits(0, 4, y) || text.size() < 10 || text[4] != '-' || !digits(5, 2, mo) || text[7] != '-' ||
        !digits(8, 2, d))
        return false;
    if (text.size() > 10) {
        if (text[10] != ' ' && text[10] != 'T') return false;
        const std::string t = text.substr(11);
        const bool colon = t.size() == 5 && t[2] == ':';
        if (t.size() != 4 && !colon) return false;
        if (!digits(11, 2, h) || !digits(colon ? 14 : 13, 2, mi)) return false;
    }
    return MakeQsoTime(y, mo, d, h, mi, 0, out);
}

DateTime WhenOption(const std::string& option, const std::string& value) {
    DateTime t;
    if (!ParseWhen(value, t))
        throw InputError(option + " \"" + value + "\" is not a date YYYY-MM-DD or \"YYYY-MM-DD HHMM\"");
    return t;
}
