// The module against a plain model of the contest written from its rules: a long
// random run of adds, removals, call checks, results and resets must give the same
// return values, reports, multiplier lists and bad-QSO file at every step.
#include <gtest/gtest.h>

#include "base/std_files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>

#include "fake_env.h"
#include "contest/bad_qso_file.h"
#include "contest/contest_rules.h"
#include "module/stats_module.h"
#include "contest/countries.h"
#include "contest/report.h"
#include "test_qso.h"

namespace {

StdFiles files;  // the real file system, under the scratch folder

// Every field but the own call and the reports is drawn at random (QsoSource).
using Qso = TestQso;

struct Stored {
    Qso q;
    std::string nordicPrefix;
    bool dupe = false;
};

bool ValidBand(const std::string& b) {
    for (const char* name : {"160m", "80m", "40m", "20m", "15m", "10m"})
        if (EqualsIgnoringCase(b, name)) return true;
    return false;
}

std::string Printf(const char* format, auto... values) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

// The contest as the rules state it, one linear scan per question.
struct Model {
    std::string myCall = "SM5XYZ", myCountry = "DL", myContinent = "EU";
    DateTime start = FromCalendar(2021, 3, 6, 0, 0, 0), end = FromCalendar(2021, 3, 7, 23, 59, 0);
    std::vector<Stored> log;
    std::vector<std::string> bands;
    std::vector<std::string> badFile;
    PerBandLists exchLists, prefixLists;

    static std::string BadLine(const Qso& q, const char* verdict) {
        return "QSO:  " + std::to_string(q.freqHz / 1000) + "  " + q.mode + "  " +
               FormatTime(q.time, "%Y-%m-%d %H%M") + "  SM5XYZ  599  " + q.exchSent + "  " + q.call + "  579  " +
               q.exchRcvd + verdict;
    }

    void Reset() {
        log.clear();
        bands.clear();
        badFile = {std::string(kBadQsoHeaderAtReset)};
    }

    int Add(const Qso& q) {
        if (!ValidBand(q.band)) return badFile.push_back(BadLine(q, "   WRONG BAND !!!")), 0;
        if (std::find(bands.begin(), bands.end(), q.band) == bands.end()) bands.push_back(q.band);
        if (!EqualsIgnoringCase(q.mode, "RTTY")) return badFile.push_back(BadLine(q, "   WRONG MODE !!!")), 0;
        if (q.exchRcvd.empty() || q.exchSent.empty()) return badFile.push_back(BadLine(q, "   NO RX NUMBER !!!")), 0;
        Stored s{q, IsNordicBaltic(q.country) ? q.prefix : "", false};
        for (const auto& r : log)
            if (r.q.call == q.call && r.q.band == q.band && r.q.mode == q.mode) s.dupe = true;
        if (s.dupe) badFile.push_back(BadLine(q, "   DUPE !!!"));
        log.push_back(s);
        return 1;
    }

    int Remove(const Qso& q) {
        for (auto it = log.begin(); it != log.end(); ++it) {
            if (it->q.call == q.call && it->q.band == q.band && it->q.mode == q.mode && SameTime(it->q.time, q.time)) {
                log.erase(it);
                break;
            }
        }
        if (log.empty())
            for (int i = 0; i < kBandCount; ++i) exchLists[i].clear(), prefixLists[i].clear();
        const std::string callField = "  " + q.call + "  ", timeField = "  " + FormatTime(q.time, "%Y-%m-%d %H%M") + "  ";
        std::vector<std::string> kept = {std::string(kBadQsoHeaderAtRemoval)};
        for (std::size_t i = 1; i < badFile.size(); ++i)
            if (badFile[i].find(callField) == std::string::npos || badFile[i].find(timeField) == std::string::npos)
                kept.push_back(badFile[i]);
        badFile = kept;
        return 1;
    }

    int Check(const Qso& q, const std::string& band2) const {
        if (!EqualsIgnoringCase(q.band, band2) || !ValidBand(q.band) || !EqualsIgnoringCase(q.mode, "RTTY")) return 4;
        if (q.country.empty() || q.call.size() < 4) return 1;
        const std::string nordic = IsNordicBaltic(q.country) ? q.prefix : "";
        for (const auto& r : log)
            if (r.q.call == q.call && r.q.band == q.band) return 0;
        for (const auto& r : log)
            if (r.q.band == q.band && r.nordicPrefix == nordic) return 1;
        return 2;
    }

    // Points by band row (160m .. 10m): Nordic-Baltic, own country, own continent, other.
    int Points(const Stored& r, bool single) const {
        static constexpr int kTable[6][4] = {{8, 5, 5, 15}, {8, 5, 5, 15}, {8, 6, 6, 10},
                                             {5, 1, 2, 3},  {5, 1, 2, 3},  {5, 1, 2, 3}};
        static const std::array<std::string, 6> kNames = {"160m", "80m", "40m", "20m", "15m", "10m"};
        const auto row = std::find(kNames.begin(), kNames.end(), r.q.band) - kNames.begin();
        if (row == 6) return 0;
        const bool sameContinent = r.q.continent == myContinent;
        if (IsNordicBaltic(r.q.country)) return kTable[row][0];
        if (r.q.country == myCountry && !(single && row <= 2)) return kTable[row][1];
        return kTable[row][sameContinent ? 2 : 3];
    }

    std::string Results(int badCount, std::int64_t& score) {
        std::sort(bands.begin(), bands.end(), [](const std::string& a, const std::string& b) {
            return std::string(20 - std::min<std::size_t>(20, a.size()), '0') + a >
                   std::string(20 - std::min<std::size_t>(20, b.size()), '0') + b;
        });
        std::string out = Printf("  VERDA-WW-DX-Contest %s-%s \r\n            Contestant: %s\r\nBand\tQSOs\tPoints\tMult\tPrefix\r\n",
                                 FormatTime(start, "%d.%m").c_str(), FormatTime(end, "%d.%m.%Y").c_str(), myCall.c_str());
        int qsos = 0, points = 0, mults = 0, prefixes = 0, dupes = 0;
        for (const auto& band : bands) {
            int q = 0, p = 0, d = 0;
            TextList exch, pref;
            for (const auto& r : log) {
                if (r.q.band != band || r.q.call.empty()) continue;
                d += r.dupe;
                if (r.dupe) continue;
                ++q;
                p += Points(r, false);
                if (std::find(exch.begin(), exch.end(), r.q.exchRcvd) == exch.end()) exch.push_back(r.q.exchRcvd);
                if (!r.nordicPrefix.empty() && std::find(pref.begin(), pref.end(), r.nordicPrefix) == pref.end())
                    pref.push_back(r.nordicPrefix);
            }
            out += Printf("%s\t %i\t  %i\t  %i\t  %i\r\n", band.c_str(), q, p, int(exch.size()), int(pref.size()));
            qsos += q, points += p, mults += int(exch.size()), prefixes += int(pref.size()), dupes += d;
            if (const int i = g_bands.IndexOf(band); i >= 0) exchLists[i] = exch, prefixLists[i] = pref;
        }
        score = std::int64_t(points) * (mults + prefixes);
        out += Printf("Total\t %i\t  %i\t  %i\t  %i\r\nDupe\t %i\r\nBad QSO\t %i\r\n\r\nScore = %i * (%i + %i)  = %s \r\n",
                      qsos, points, mults, prefixes, dupes, badCount, points, mults, prefixes,
                      std::to_string(score).c_str());
        if (log.empty()) return out;

        const double reference = log.size() > 1 ? log.back().q.time.value : 0.0;
        int hourQsos = 0, hourPoints = 0, tenQsos = 0, tenPoints = 0, last = 0;
        for (const auto& r : log) {
            if (r.dupe || r.q.call.empty()) continue;
            const int p = Points(r, true);
            if (r.q.band == log.back().q.band) last = p;
            double span = reference - r.q.time.value;
            span += span >= 0 ? 0.5 / 86400 : -0.5 / 86400;
            const double minutes = std::trunc(span * 1440);
            if (minutes < 60) ++hourQsos, hourPoints += p;
            if (minutes < 10) ++tenQsos, tenPoints += p;
        }
        out += Printf("\r\n\t\t\tRate\r\nHourly (10min) QSO rate: %5i (%i) QSOs/hour\r\nHourly (10min) pts rate: %5i "
                      "(%i) points/hour\r\n\r\nLast QSO: %i points\r\n\r\n",
                      hourQsos, 6 * tenQsos, hourPoints, 6 * tenPoints, last);
        return out + kCreditLine;
    }
};

// Random QSOs from small pools, so dupes, repeated exchanges and prefixes are common.
class QsoSource {
public:
    explicit QsoSource(unsigned seed) : rng_(seed) {}

    Qso Next() {
        static const std::array<const char*, 10> kBands = {"160m", "80m", "40m", "20m", "15m", "10m",
                                                           "20m",  "40m", "20M", "30m"};
        static const std::array<std::array<const char*, 4>, 10> kStations = {{
            {"SM", "EU", "SM", "SM0"}, {"OH", "EU", "OH", "OH6"}, {"ES", "EU", "ES", "ES5"}, {"YL", "EU", "YL", "YL2"},
            {"LY", "EU", "LY", "LY4"}, {"DL", "EU", "DL", "DL1"}, {"K", "NA", "K", "W3"}, {"JA", "AS", "JA", "JA1"},
            {"SM", "NA", "SM", "SM7"}, {"", "", "", ""},
        }};
        Qso q;
        const auto& s = kStations[Pick(kStations.size())];
        const int n = Pick(40);
        q.call = n == 0 ? std::string("AB") : std::string(s[0]) + std::to_string(n) + "XY";
        if (Pick(100) == 0) q.call.clear();
        q.country = s[0];
        q.continent = s[1];
        q.prefix = Pick(2) ? s[2] : s[3];
        q.band = kBands[Pick(kBands.size())];
        q.mode = Pick(20) == 0 ? "CW" : Pick(10) == 0 ? "rtty" : "RTTY";
        q.exchRcvd = Pick(30) == 0 ? "" : Printf("%04d", Pick(60));
        q.exchSent = Pick(60) == 0 ? "" : "0001";
        minutes_ += Pick(4);
        q.time.value = FromCalendar(2021, 3, 6, 0, 0, 0).value + minutes_ / 1440.0;
        q.freqHz = 14080000 + Pick(10000);
        return q;
    }
    int Pick(std::size_t n) { return static_cast<int>(std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_)); }

private:
    std::mt19937 rng_;
    int minutes_ = 0;
};

std::vector<std::string> FileLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l.substr(0, l.size() - (!l.empty() && l.back() == '\r')));
    return lines;
}

TEST(Differential, IndexedModuleMatchesThePlainRulesOverALongRandomRun) {
    ScratchDir dir;
    FakeEnv env;
    StatsModule module(env, files);
    Model model;
    QsoSource source(20211);
    std::vector<Qso> sent;

    auto reset = [&] {
        const ResetArgs r{.hostFolder = {}, .myCall = model.myCall, .start = model.start, .end = model.end,
                          .myCountry = model.myCountry, .myContinent = model.myContinent};
        ASSERT_EQ(module.ResetStats0(r), 1);
        model.Reset();
        sent.clear();
    };
    reset();
    std::size_t largestLog = 0;
    for (int step = 0; step < 4000; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int kind = source.Pick(100);
        if (kind < 60) {
            Qso q = source.Next();
            sent.push_back(q);
            ASSERT_EQ(module.AddData0(q.args()), model.Add(q));
        } else if (kind < 72 && !sent.empty()) {
            Qso q = sent[source.Pick(sent.size())];
            if (source.Pick(5) == 0) q.time.value += 1.0 / 1440;  // matches no stored QSO
            ASSERT_EQ(module.RemoveData0(q.args()), model.Remove(q));
        } else if (kind < 96) {
            Qso q = source.Pick(3) && !sent.empty() ? sent[source.Pick(sent.size())] : source.Next();
            std::string band2 = q.band;
            if (source.Pick(15) == 0) band2 = "15m";
            else if (source.Pick(6) == 0) std::transform(band2.begin(), band2.end(), band2.begin(), ::toupper);
            CheckArgs c{q.call, q.mode, q.prefix, q.country, q.continent, q.band, band2};
            ASSERT_EQ(module.CheckCall0(c), model.Check(q, band2));
        } else if (kind < 99) {
            const auto lines = FileLines(module.state().badQsoPath);
            ASSERT_EQ(lines, model.badFile);
            int bad = 0;
            for (const auto& l : lines) bad += l.find("DUPE") == std::string::npos && l.find("UBN") == std::string::npos;
            std::int64_t score = 0;
            const std::string expected = model.Results(bad, score);
            ASSERT_EQ(std::string(module.GetResult0()), expected);
            ASSERT_EQ(env.settings["Claimed"], std::to_string(score));
            ASSERT_EQ(module.state().shared.multExchByBand, model.exchLists);
            ASSERT_EQ(module.state().shared.nordicByBand, model.prefixLists);
        } else if (source.Pick(8) == 0) {
            reset();
        }
        largestLog = std::max(largestLog, model.log.size());
    }
    EXPECT_GT(largestLog, 300u);  // the run must reach a log with plenty of repeats
}

}  // namespace
