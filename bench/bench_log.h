// A contest log for the benchmarks, alike in shape to a large multi-operator
// VERDA-WW-DX log: many stations, each worked on a few bands, a fifth of them
// Nordic-Baltic, about two per cent dupes, received numbers spread over 0000-9999.
// Plain standard C++, shared by the native benchmark and the Wine timing host.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

struct BenchQso {
    std::string call, band, prefix, country, continent, exchRcvd;
    double time = 0.0;  // days since 1899-12-30
    unsigned freqHz = 0;
};

inline constexpr double kBenchStart = 44261.0;  // 2021-03-06 00:00

inline std::vector<BenchQso> MakeBenchLog(std::size_t n, unsigned seed = 7) {
    struct Country {
        const char *country, *continent, *prefix;
        unsigned weight;
    };
    static constexpr std::array<Country, 14> kCountries = {{
        {"DL", "EU", "DL", 14}, {"K", "NA", "W", 14}, {"UA", "EU", "UA", 10}, {"JA", "AS", "JA", 8},
        {"I", "EU", "I", 6},    {"G", "EU", "G", 6},  {"SM", "EU", "SM", 8}, {"OH", "EU", "OH", 6},
        {"LA", "EU", "LA", 3},  {"OZ", "EU", "OZ", 3}, {"ES", "EU", "ES", 2}, {"YL", "EU", "YL", 2},
        {"LY", "EU", "LY", 2},  {"VK", "OC", "VK", 4},
    }};
    static constexpr std::array<const char*, 6> kBands = {"160m", "80m", "40m", "20m", "15m", "10m"};
    static constexpr std::array<unsigned, 6> kBandKHz = {1838, 3585, 7035, 14085, 21085, 28085};
    static constexpr std::array<unsigned, 6> kBandWeight = {5, 12, 23, 30, 20, 10};

    std::mt19937 rng(seed);
    std::vector<unsigned> weights;
    for (const auto& c : kCountries) weights.push_back(c.weight);
    std::discrete_distribution<std::size_t> pickCountry(weights.begin(), weights.end());
    std::discrete_distribution<std::size_t> pickBand(kBandWeight.begin(), kBandWeight.end());
    auto below = [&](std::size_t k) { return std::uniform_int_distribution<std::size_t>(0, k - 1)(rng); };

    // Each station is worked about three times over the bands.
    struct Station {
        std::string call, prefix, exch;
        const Country* country;
        std::array<std::size_t, 6> bands;  // the order its bands are worked in
        std::size_t worked = 0;
    };
    std::vector<Station> stations(n / 3 + 1);
    for (std::size_t i = 0; i < stations.size(); ++i) {
        Station& s = stations[i];
        s.country = &kCountries[pickCountry(rng)];
        const std::string digit = std::to_string(below(10));
        s.prefix = s.country->prefix + digit;
        char suffix[4] = {char('A' + i % 26), char('A' + i / 26 % 26), char('A' + i / 676 % 26), 0};
        s.call = s.prefix + suffix;
        char exch[8];
        std::snprintf(exch, sizeof exch, "%04u", static_cast<unsigned>(below(10000)));
        s.exch = exch;
        // The bands by their weights, each once.
        for (std::size_t k = 0; k < s.bands.size(); ++k) {
            std::size_t b;
            do b = pickBand(rng);
            while (std::find(s.bands.begin(), s.bands.begin() + k, b) != s.bands.begin() + k);
            s.bands[k] = b;
        }
    }

    std::vector<BenchQso> log;
    std::vector<std::size_t> stationOf, bandOf;
    log.reserve(n);
    const double step = 2.0 / static_cast<double>(n);  // the 48 hours of the contest
    for (std::size_t i = 0; i < n; ++i) {
        BenchQso q;
        Station* s = &stations[below(stations.size())];
        // Its next band, once each; the operators avoid working it again there.
        std::size_t band = s->bands[s->worked++ % s->bands.size()];
        if (i > 0 && below(100) < 2) {  // a dupe all the same: a station worked again on a band
            const std::size_t earlier = below(log.size());
            s = &stations[stationOf[earlier]];
            band = bandOf[earlier];
        }
        stationOf.push_back(static_cast<std::size_t>(s - stations.data()));
        bandOf.push_back(band);
        q.call = s->call;
        q.band = kBands[band];
        q.prefix = s->prefix;
        q.country = s->country->country;
        q.continent = s->country->continent;
        q.exchRcvd = s->exch;
        q.time = kBenchStart + step * static_cast<double>(i);
        q.freqHz = kBandKHz[band] * 1000 + static_cast<unsigned>(below(20000));
        log.push_back(std::move(q));
    }
    return log;
}
