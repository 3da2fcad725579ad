#include "logs/log_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

namespace {

struct BandRange {
    const char* name;
    std::uint64_t lowHz, highHz;
};

// The ADIF band table, lower case as the plug-in expects its six bands.
constexpr std::uint64_t kMHz = 1000000;
constexpr std::array<BandRange, 33> kBands = {{
    {"2190m", 135700, 137800},
    {"630m", 472000, 479000},
    {"560m", 501000, 504000},
    {"160m", 1800000, 2000000},
    {"80m", 3500000, 4000000},
    {"60m", 5060000, 5450000},
    {"40m", 7000000, 7300000},
    {"30m", 10100000, 10150000},
    {"20m", 14000000, 14350000},
    {"17m", 18068000, 18168000},
    {"15m", 21000000, 21450000},
    {"12m", 24890000, 24990000},
    {"10m", 28000000, 29700000},
    {"8m", 40 * kMHz, 45 * kMHz},
    {"6m", 50 * kMHz, 54 * kMHz},
    {"5m", 54000001, 69900000},
    {"4m", 70 * kMHz, 71 * kMHz},
    {"2m", 144 * kMHz, 148 * kMHz},
    {"1.25m", 222 * kMHz, 225 * kMHz},
    {"70cm", 420 * kMHz, 450 * kMHz},
    {"33cm", 902 * kMHz, 928 * kMHz},
    {"23cm", 1240 * kMHz, 1300 * kMHz},
    {"13cm", 2300 * kMHz, 2450 * kMHz},
    {"9cm", 3300 * kMHz, 3500 * kMHz},
    {"6cm", 5650 * kMHz, 5925 * kMHz},
    {"3cm", 10000 * kMHz, 10500 * kMHz},
    {"1.25cm", 24000 * kMHz, 24250 * kMHz},
    {"6mm", 47000 * kMHz, 47200 * kMHz},
    {"4mm", 75500 * kMHz, 81000 * kMHz},
    {"2.5mm", 119980 * kMHz, 123000 * kMHz},
    {"2mm", 134000 * kMHz, 149000 * kMHz},
    {"1mm", 241000 * kMHz, 250000 * kMHz},
    {"submm", 300000 * kMHz, 7500000 * kMHz},
}};

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

std::string_view WithoutBom(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return text;
}

bool StartsCabrillo(std::string_view text) {
    text = WithoutBom(text);
    const auto first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && ToUpper(text.substr(first, 13)) == "START-OF-LOG:";
}

// Text files hold line ends and now and then a stray control byte in a field;
// a file of many is no log at all.
bool LooksBinary(std::string_view text) {
    const std::string_view head = text.substr(0, 4096);
    std::size_t controls = 0;
    for (unsigned char c : head)
        if (IsControl(c) && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v' && c != 0x1A) ++controls;
    return controls * 16 > head.size();
}

}  // namespace

std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string ToLower(std::string_view text) {
    std::string out(text);
    for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

std::string Printable(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (IsControl(c)) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool HasControlByte(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return IsControl(static_cast<unsigned char>(c)); });
}

std::string BandOfFrequency(std::uint64_t freqHz) {
    for (const auto& b : kBands)
        if (freqHz >= b.lowHz && freqHz <= b.highHz) return b.name;
    return {};
}

std::uint64_t BandEdgeHz(std::string_view band) {
    for (const auto& b : kBands)
        if (band == b.name) return b.lowHz;
    return 0;
}

std::uint64_t TopOfBandsHz() { return kBands.back().highHz; }

bool ParseDecimal(std::string_view text, int scaleDigits, std::uint64_t& out) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max() / 10 - 9;
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
        if (value > kMax) return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (!digits) return false;
    for (int i = fraction < 0 ? 0 : fraction; i < scaleDigits; ++i) {
        if (value > kMax) return false;
        value *= 10;
    }
    out = value;
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

bool DecodeUtf16(std::string_view text, std::string& out) {
    bool little = true;
    std::size_t at = 0;
    if (text.substr(0, 2) == "\xFF\xFE") {
        at = 2;
    } else if (text.substr(0, 2) == "\xFE\xFF") {
        little = false;
        at = 2;
    } else {
        // No mark: ASCII text as UTF-16 has a NUL in every other byte.
        const std::string_view head = text.substr(0, 64);
        if (head.size() < 4) return false;
        std::size_t evenNul = 0, oddNul = 0;
        for (std::size_t i = 0; i < head.size(); ++i) (i % 2 ? oddNul : evenNul) += head[i] == '\0';
        const std::size_t half = head.size() / 2;
        if (oddNul == half && evenNul == 0) little = true;
        else if (evenNul == half && oddNul == 0) little = false;
        else return false;
    }
    out.clear();
    out.reserve((text.size() - at) / 2);
    for (std::size_t i = at; i + 1 < text.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(text[little ? i : i + 1]);
        const auto hi = static_cast<unsigned char>(text[little ? i + 1 : i]);
        const unsigned unit = lo | (hi << 8);
        if (unit >= 0xDC00 && unit <= 0xDFFF) continue;  // second half of a pair, already a '?'
        out += unit <= 0xFF ? static_cast<char>(unit) : '?';
    }
    return true;
}

LogFile ReadLogFile(std::string_view text, const std::string& name, const ReadOptions& options) {
    std::string decoded;
    if (DecodeUtf16(text, decoded)) text = decoded;
    if (LooksBinary(text)) throw InputError(name + ": not an ADIF or Cabrillo file (it holds binary data)");
    return StartsCabrillo(text) ? ReadCabrilloLog(WithoutBom(text), name, options) : ReadAdifLog(text, name);
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
