// The ADIF band table, with names in lower case as the plug-in expects its six
// bands ("20m"). Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The band that holds the frequency; empty when none.
std::string BandOfFrequency(std::uint64_t freqHz);
// Lower edge of a band, used when a log gives the band but no frequency; 0 when unknown.
std::uint64_t BandEdgeHz(std::string_view band);
// The top of the highest band: a larger frequency is no frequency a log can hold.
std::uint64_t TopOfBandsHz();
