// Callsign analysis, the host's job that the replay does for it: the prefix with
// its call-area digit, and the country prefix and continent from the country file.
// Portable.
#pragma once

#include <string>
#include <string_view>

class CountryFile;

struct CallAnalysis {
    std::string prefix;     // such as "OH2", "K5", "DL0" for DL/OH2BH
    std::string country;    // the entity's primary prefix; empty when the country file does not know it
    std::string continent;  // empty when unknown
};

// The usual prefix rules: the call up to and including its last digit; a call
// without digits gets its first two characters and "0".
std::string CallPrefix(std::string_view call);

// A portable designator before or after the call ("DL/OH2BH", "OH2BH/OH0") names
// the country and the prefix; /P /M /MM /AM /QRP and the like are ignored; a single
// digit after a slash replaces the call-area digit ("W1AW/6" is a K6). Exact-call
// entries of the country file win over everything else.
CallAnalysis AnalyseCall(const CountryFile& cty, std::string_view call);
