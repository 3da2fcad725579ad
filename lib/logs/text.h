// Text helpers of the readers and the tools over them. Portable; they depend on
// nothing of the logs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
std::string Trim(std::string_view text);
// The text with control bytes shown as \xNN, so that no message moves the cursor
// or rings the bell.
std::string Printable(std::string_view text);
bool HasControlByte(std::string_view text);
// A byte below 0x20, or DEL.
bool IsControlByte(unsigned char c);
// True when the text is `length` decimal digits.
bool IsDigits(std::string_view text, std::size_t length);
// Decimal text with an optional fraction ("14.0855") scaled by 10^scaleDigits;
// false when the text is not such a number or does not fit 64 bits.
bool ParseDecimal(std::string_view text, int scaleDigits, std::uint64_t& out);
// UTF-16 text (by its byte-order mark, or NUL in every other byte) as 8-bit text,
// one byte a character so that ADIF lengths still count right; characters above
// 0xFF become '?'. Nothing when the text is not UTF-16.
bool DecodeUtf16(std::string_view text, std::string& out);
