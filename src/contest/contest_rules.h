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

extern const CContestRules g_bands;  // "160m" ... "10m"; position = band index
extern const CContestRules g_modes;  // "RTTY"
