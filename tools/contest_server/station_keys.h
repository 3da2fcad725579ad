// The keys a sponsor gives stations: made from the system's random source, kept
// only as their SHA-256.
#pragma once

#include <string>
#include <string_view>

// 128 random bits as 32 lower-case hex digits.
std::string MakeStationKey();

// The key's SHA-256 in hex: what the store keeps and looks up.
std::string KeyHash(std::string_view key);
