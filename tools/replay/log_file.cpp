#include "log_file.h"

#include <array>
#include <cctype>
#include <limits>

namespace {

struct BandRange {
    const char* name;
    std::uint32_t lowHz, highHz;
};

// The amateur bands as log files name them (lower case, as the plug-in expects).
constexpr std::array<BandRange, 16> kBands = {{
    {"2190m", 135700, 137800},        {"630m", 472000, 479000},         {"160m", 1800000, 2000000},
    {"80m", 3500000, 4000000},        {"60m", 5060000, 5450000},        {"40m", 7000000, 7300000},
    {"30m", 10100000, 10150000},      {"20m", 14000000, 14350000},      {"17m", 18068000, 18168000},
    {"15m", 21000000, 21450000},      {"12m", 24890000, 24990000},      {"10m", 28000000, 29700000},
    {"6m", 50000000, 54000000},       {"4m", 70000000, 71000000},       {"2m", 144000000, 148000000},
    {"70cm", 420000000, 450000000},
}};

bool StartsCabrillo(std::string_view text) {
    // Blank lines or a byte-order mark may come first.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const auto first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && ToUpper(text.substr(first, 13)) == "START-OF-LOG:";
}

}  // namespace

std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

std::string BandOfFrequency(std::uint32_t freqHz) {
    for (const auto& b : kBands)
        if (freqHz >= b.lowHz && freqHz <= b.highHz) return b.name;
    return {};
}

std::uint32_t BandEdgeHz(std::string_view band) {
    for (const auto& b : kBands)
        if (band == b.name) return b.lowHz;
    return 0;
}

bool ParseDecimal(std::string_view text, int scaleDigits, std::uint32_t& out) {
    std::uint64_t value = 0;
    int fraction = -1;  // digits seen after the point, -1 before it
    bool digits = false;
    for (char c : text) {
        if (c == '.' && fraction < 0) {
            fraction = 0;
            continue;
        }
        if (c < '0' || c > '9') return false;
        digits = true;
        if (fraction >= scaleDigits) continue;  // finer than we keep: cut
        if (fraction >= 0) ++fraction;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max()) return false;
    }
    if (!digits) return false;
    for (int i = fraction < 0 ? 0 : fraction; i < scaleDigits; ++i) {
        value *= 10;
        if (value > std::numeric_limits<std::uint32_t>::max()) return false;
    }
    out = static_cast<std::uint32_t>(value);
    return true;
}

bool IsDigits(std::string_view text, std::size_t length) {
    return text.size() == length && text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool MakeQsoTime(int year, int month, int day, int hour, int minute, int second, DateTime& out) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return false;
    out = FromCalendar(year, month, day, hour, minute, second);
    return true;
}

LogFile ReadLogFile(std::string_view text, const std::string& name) {
    return StartsCabrillo(text) ? ReadCabrilloLog(text, name) : ReadAdifLog(text, name);
}
