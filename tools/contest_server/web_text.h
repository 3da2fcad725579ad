// Client text into the pages: always UTF-8, always escaped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/html_text.h"
#include "base/utf8_text.h"

inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

inline std::string Html(std::string_view text) { return HtmlText(Utf8Only(text, kReplacementCharacter)); }

// A JSON string, quotes included.
inline std::string Json(std::string_view text) {
    std::string out = "\"";
    for (char c : Utf8Only(text, kReplacementCharacter)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// 4523904 as "4,523,904".
inline std::string Grouped(std::int64_t n) {
    const std::string digits = std::to_string(n < 0 ? -n : n);
    std::string out = n < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

// "40 s", "12 min", "3 h 05 min".
inline std::string Age(std::int64_t seconds) {
    if (seconds < 0) seconds = 0;
    if (seconds < 60) return std::to_string(seconds) + " s";
    if (seconds < 3600) return std::to_string(seconds / 60) + " min";
    const std::int64_t minutes = seconds / 60 % 60;
    return std::to_string(seconds / 3600) + " h " + (minutes < 10 ? "0" : "") + std::to_string(minutes) + " min";
}
