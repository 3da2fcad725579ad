// Times as contest-server keeps them: whole seconds since 1970 in UTC, and the
// texts of posts and the contest's file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using UtcSeconds = std::int64_t;

// "yyyy-mm-dd hh:mm:ss", or with 'T' between date and time; seconds may be left
// out (the contest's file gives minutes). Empty for anything else, a date that
// does not exist among them.
std::optional<UtcSeconds> ParseUtc(std::string_view text);

// "yyyy-mm-dd hh:mm:ss".
std::string FormatUtc(UtcSeconds t);

// The system clock.
UtcSeconds UtcNow();
