#include "contest/contest_rules.h"

#include <array>

namespace {

constexpr auto kBandTable = [] {
    std::array<const char*, kBandCount> names{};
    for (int i = 0; i < kBandCount; ++i) names[static_cast<std::size_t>(i)] = kBands[i].name;
    return names;
}();
constexpr const char* kModeTable[] = {"RTTY"};

char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

const CContestRules g_bands(kBandTable.data(), kBandCount);
const CContestRules g_modes(kModeTable, 1);

CContestRules::CContestRules(const char* const* table, int count) {
    for (int i = 0; i < count; ++i) items_.emplace_back(table[i]);
}

bool CContestRules::Contains(std::string_view text) const {
    for (const auto& item : items_)
        if (EqualsIgnoringCase(item, text)) return true;
    return false;
}

int CContestRules::IndexOf(std::string_view text) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == text) return static_cast<int>(i);
    return -1;
}
