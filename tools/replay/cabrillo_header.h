// Cabrillo header values for the plug-in's header dialog, from a small file of
// "TAG: value" lines as they appear in a Cabrillo file. Portable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A value for one control (IDC_ in resources/resource.h) of the header dialog "VERDA-WW-DX".
struct HeaderValue {
    int controlId;
    std::string tag;
    std::string text;
};

// Repeated ADDRESS lines join with "<CR>" (the address edit is one line), repeated
// SOAPBOX lines with line breaks. Blank lines and lines starting with '#' are
// skipped. Throws InputError naming the file and line for an unknown tag or a
// line without a colon.
std::vector<HeaderValue> ReadCabrilloHeader(std::string_view text, const std::string& name);
