#include "logs/bands.h"

#include <array>

namespace {

struct BandRange {
    const char* name;
    std::uint64_t lowHz, highHz;
};

// The ADIF band table, lower case as the plug-in expects its six bands.
constexpr std::uint64_t kMHz = 1000000;
constexpr std::array<BandRange, 33> kBands = {{
    {"2190m", 135700, 137800},
    {"630m", 472000, 479000},
    {"560m", 501000, 504000},
    {"160m", 1800000, 2000000},
    {"80m", 3500000, 4000000},
    {"60m", 5060000, 5450000},
    {"40m", 7000000, 7300000},
    {"30m", 10100000, 10150000},
    {"20m", 14000000, 14350000},
    {"17m", 18068000, 18168000},
    {"15m", 21000000, 21450000},
    {"12m", 24890000, 24990000},
    {"10m", 28000000, 29700000},
    {"8m", 40 * kMHz, 45 * kMHz},
    {"6m", 50 * kMHz, 54 * kMHz},
    {"5m", 54000001, 69900000},
    {"4m", 70 * kMHz, 71 * kMHz},
    {"2m", 144 * kMHz, 148 * kMHz},
    {"1.25m", 222 * kMHz, 225 * kMHz},
    {"70cm", 420 * kMHz, 450 * kMHz},
    {"33cm", 902 * kMHz, 928 * kMHz},
    {"23cm", 1240 * kMHz, 1300 * kMHz},
    {"13cm", 2300 * kMHz, 2450 * kMHz},
    {"9cm", 3300 * kMHz, 3500 * kMHz},
    {"6cm", 5650 * kMHz, 5925 * kMHz},
    {"3cm", 10000 * kMHz, 10500 * kMHz},
    {"1.25cm", 24000 * kMHz, 24250 * kMHz},
    {"6mm", 47000 * kMHz, 47200 * kMHz},
    {"4mm", 75500 * kMHz, 81000 * kMHz},
    {"2.5mm", 119980 * kMHz, 123000 * kMHz},
    {"2mm", 134000 * kMHz, 149000 * kMHz},
    {"1mm", 241000 * kMHz, 250000 * kMHz},
    {"submm", 300000 * kMHz, 7500000 * kMHz},
}};

}  // namespace

std::string BandOfFrequency(std::uint64_t freqHz) {
    for (const auto& b : kBands)
        if (freqHz >= b.lowHz && freqHz <= b.highHz) return b.name;
    return {};
}

std::uint64_t BandEdgeHz(std::string_view band) {
    for (const auto& b : kBands)
        if (band == b.name) return b.lowHz;
    return 0;
}

std::uint64_t TopOfBandsHz() { return kBands.back().highHz; }
