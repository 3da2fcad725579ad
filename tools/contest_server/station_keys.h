// The keys a sponsor gives stations: made from the system's random source, kept
// only as their SHA-256.
#pragma once

#include <string>
#include <string_view>

// 128 random bits as 32 lower-case hex digits.
std::string MakeStationKey();

// SHA-256 of the bytes, in lower-case hex.
std::string Sha256Hex(std::string_view bytes);

// The key's SHA-256 in hex: what the store keeps and looks up.
inline std::string KeyHash(std::string_view key) { return Sha256Hex(key); }
