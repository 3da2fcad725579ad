#include "contest/countries.h"

#include <algorithm>
#include <array>

#include "base/cinfo.h"

namespace {

constexpr std::array<std::string_view, 13> kNordicBaltic = {
    "ES", "JW", "JX", "LA", "LY", "OH", "OH0", "OX", "OY", "OZ", "SM", "TF", "YL"};

constexpr std::array<std::string_view, 7> kRussianLanguage = {
    "UA", "UA2", "UA9", "CE9/KC4", "UR", "UN", "EU"};

template <std::size_t N>
bool InList(const std::array<std::string_view, N>& list, std::string_view text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

int* AreaField(CInfo& r, std::string_view country) {
    if (country == "K") return &r.areaK;
    if (country == "VE") return &r.areaVE;
    if (country == "VK") return &r.areaVK;
    if (country == "JA") return &r.areaJA;
    if (country == "ZL") return &r.areaZL;
    if (country == "ZS") return &r.areaZS;
    if (country == "PY") return &r.areaPY;
    return nullptr;
}

}  // namespace

bool IsNordicBaltic(std::string_view country) { return InList(kNordicBaltic, country); }

bool IsRussianLanguage(std::string_view country) { return InList(kRussianLanguage, country); }

void SetCallArea(CInfo& record, std::string_view country, std::string_view prefix) {
    int* field = AreaField(record, country);
    if (!field) return;
    for (char c : prefix) {
        if (c >= '0' && c <= '9') {
            *field = c - '0';
            record.callArea = c - '0';
        }
    }
}

PointClass ClassifyQso(const CInfo& record, std::string_view myCountry, std::string_view myContinent) {
    if (IsNordicBaltic(record.country)) return PointClass::nordicBaltic;
    if (record.country == myCountry) return PointClass::ownCountry;
    if (record.continent == myContinent) return PointClass::ownContinent;
    return PointClass::otherContinent;
}
