#include "logs/text.h"

#include <algorithm>
#include <cctype>
#include <limits>

bool IsControlByte(unsigned char c) { return c < 0x20 || c == 0x7F; }

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
        if (IsControlByte(c)) {
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
    return std::any_of(text.begin(), text.end(), [](char c) { return IsControlByte(static_cast<unsigned char>(c)); });
}

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
