// Text that is certain to be UTF-8: what comes from a client or the host's code
// page may not be, and a document that carries it must stay well-formed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Length of the well-formed UTF-8 sequence at text[at] (no overlong form, no
// surrogate, nothing above U+10FFFF), or 0.
inline std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t n = 0;
    unsigned low = 0x80, high = 0xBF;  // the second byte's range, narrowed against overlongs and surrogates
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + n > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < n; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    return n;
}

// The text with every byte that is not part of well-formed UTF-8, and every
// control character but tab, replaced by `replacement`.
inline std::string Utf8Only(std::string_view text, std::string_view replacement) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t n = (c < 0x20 && c != '\t') || c == 0x7F ? 0 : Utf8SequenceLength(text, i);
        if (n == 0) {
            out += replacement;
            ++i;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}
