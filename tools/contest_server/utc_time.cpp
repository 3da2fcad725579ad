#include "utc_time.h"

#include <charconv>
#include <chrono>
#include <cstdio>

namespace {

bool Number(std::string_view text, std::size_t at, std::size_t digits, int& out) {
    if (at + digits > text.size()) return false;
    for (std::size_t i = at; i < at + digits; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    std::from_chars(text.data() + at, text.data() + at + digits, out);
    return true;
}

}  // namespace

std::optional<UtcSeconds> ParseUtc(std::string_view text) {
    int y, mo, d, h, mi, s = 0;
    if (text.size() != 16 && text.size() != 19) return std::nullopt;
    if (!Number(text, 0, 4, y) || text[4] != '-' || !Number(text, 5, 2, mo) || text[7] != '-' ||
        !Number(text, 8, 2, d) || (text[10] != ' ' && text[10] != 'T') || !Number(text, 11, 2, h) ||
        text[13] != ':' || !Number(text, 14, 2, mi))
        return std::nullopt;
    if (text.size() == 19 && (text[16] != ':' || !Number(text, 17, 2, s))) return std::nullopt;
    using namespace std::chrono;
    const year_month_day date{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
    if (!date.ok() || h > 23 || mi > 59 || s > 59) return std::nullopt;
    return sys_days{date}.time_since_epoch().count() * 86400LL + h * 3600LL + mi * 60LL + s;
}

std::string FormatUtc(UtcSeconds t) {
    using namespace std::chrono;
    const sys_seconds at{seconds{t}};
    const sys_days day = floor<days>(at);
    const year_month_day date{day};
    const long long inDay = (at - day).count();
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02lld:%02lld:%02lld", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), inDay / 3600,
                  inDay / 60 % 60, inDay % 60);
    return text;
}

UtcSeconds UtcNow() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}
