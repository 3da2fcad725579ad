// CContestRules: the contest's accepted bands and modes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CContestRules {
public:
    CContestRules(const char* const* table, int count);

    // Whole-text match ignoring letter case (ASCII letters; other bytes exact).
    bool Contains(std::string_view text) const;

    int size() const { return static_cast<int>(items_.size()); }
    const std::string& operator[](int i) const { return items_.at(static_cast<std::size_t>(i)); }

    // Exact, case-sensitive position of text, or -1 (the band index of per-band tables).
    int IndexOf(std::string_view text) const;

private:
    std::vector<std::string> items_;
};

// Whole-text comparison ignoring the case of ASCII letters; other bytes compare exactly.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

inline constexpr int kBandCount = 6;

// What the module knows of one contest band. Position in kBands = band index.
struct BandFacts {
    const char* name;
    int wholeMhz;  // where a host frequency on the band starts, in whole megahertz
    bool low;      // 160, 80, 40 m: an own-country QSO of a single-QSO score counts by continent
    // QSO points by point class.
    int nordicBaltic, ownCountry, ownContinent, otherContinent;
};

inline constexpr BandFacts kBands[kBandCount] = {
    {"160m", 1, true, 8, 5, 5, 15},  {"80m", 3, true, 8, 5, 5, 15},   {"40m", 7, true, 8, 6, 6, 10},
    {"20m", 14, false, 5, 1, 2, 3}, {"15m", 21, false, 5, 1, 2, 3}, {"10m", 28, false, 5, 1, 2, 3},
};

extern const CContestRules g_bands;  // "160m" ... "10m"; position = band index
extern const CContestRules g_modes;  // "RTTY"
