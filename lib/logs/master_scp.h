// MASTER.SCP: the calls active in contests, one a line ('#' starts a comment).
// Portable.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

// The calls of the file, upper case.
std::unordered_set<std::string> ReadMasterScp(std::string_view text);

// A call with a portable designator is known when one of its parts is ("DL/OH2BH").
bool KnownToScp(const std::unordered_set<std::string>& scp, const std::string& call);
