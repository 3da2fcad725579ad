#include "contest_simulator.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>
#include <unordered_set>

namespace {

constexpr const char* kPrefixes[] = {"OH", "SM", "DL", "G",  "F",  "I",  "EA", "K",  "W",  "VE", "JA", "UA",
                                     "SP", "OK", "HA", "YO", "LZ", "9A", "S5", "ES", "YL", "LY", "OZ", "LA",
                                     "PY", "LU", "VK", "ZL", "ZS", "CT", "EI", "ON", "PA", "OE", "N",  "UR"};
struct Band {
    const char* name;
    int kHz;
};
constexpr Band kBands[] = {{"160m", 1820}, {"80m", 3580}, {"40m", 7040}, {"20m", 14080}, {"15m", 21080}, {"10m", 28080}};
constexpr Band kOffBand = {"30m", 10140};
constexpr int kPeriodStart = 0, kPeriodMinutes = 48 * 60;  // minutes from the start
constexpr double kSilentEvents = 0.15;  // QSOs with stations that send no log

constexpr std::string_view kLetters = "QWERTYUIOP", kFigures = "1234567890";
char Twin(char c) {
    if (auto at = kLetters.find(c); at != std::string_view::npos) return kFigures[at];
    if (auto at = kFigures.find(c); at != std::string_view::npos) return kLetters[at];
    return 0;
}
struct Station {
    std::string call;
    std::string number;
    int offset = 0;
    bool logs = false;
};

struct Line {
    int minute;  // as logged
    std::string text;
    std::string truth;
};

class Simulator {
public:
    explicit Simulator(const SimSettings& s) : s_(s), rng_(s.seed) {}

    SimContest Run() {
        MakeStations();
        const int loggers = s_.logs;
        const long target = static_cast<long>(loggers) * s_.qsosPerLog;
        lines_.resize(static_cast<std::size_t>(loggers));
        std::vector<std::pair<int, int>> silentWorks;  // silent station, the logger's line index
        // A QSO between two logs makes two lines, the others one: the share of
        // unique lines comes out as asked.
        const double uniqueEvents = s_.unique * (2 - kSilentEvents) / (1 + s_.unique);
        long made = 0;
        while (made < target) {
            const int a = Pick(loggers);
            const double kind = Real();
            if (kind < uniqueEvents) {
                made += Unique(a);
                continue;
            }
            const int minute = kPeriodStart + Pick(kPeriodMinutes);
            const Band band = kBands[Pick(6)];
            if (kind < uniqueEvents + kSilentEvents) {
                const int m = loggers + Pick(s_.silent);
                if (!used_.insert(Key(a, m, band.name)).second) continue;
                silentWorks.push_back({m, a});
                lineOfSilent_.push_back({a, static_cast<int>(lines_[a].size())});
                Log(a, m, stations_[m].call, band, minute, "ok", false);
                ++made;
                continue;
            }
            int b = Pick(loggers);
            if (b == a || !used_.insert(Key(a, b, band.name)).second) continue;
            made += Pair(a, b, band, minute);
        }
        // A silent station worked by one log only is unique in the logs.
        std::map<int, std::set<int>> workedBy;
        for (const auto& [m, a] : silentWorks) workedBy[m].insert(a);
        for (std::size_t i = 0; i < silentWorks.size(); ++i)
            if (workedBy[silentWorks[i].first].size() == 1) {
                const auto [a, at] = lineOfSilent_[i];
                lines_[a][at].truth = "unique";
            }
        return Write();
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    double Real() { return std::uniform_real_distribution<double>(0, 1)(rng_); }
    static std::string Key(int a, int b, const char* band) {
        return std::to_string(std::min(a, b)) + ' ' + std::to_string(std::max(a, b)) + ' ' + band;
    }

    std::string FreshCall() {
        for (;;) {
            std::string call = kPrefixes[Pick(std::size(kPrefixes))];
            call += static_cast<char>('0' + Pick(10));
            for (int i = 0; i < 3; ++i) call += static_cast<char>('A' + Pick(26));
            if (calls_.insert(call).second) return call;
        }
    }

    void MakeStations() {
        const int total = s_.logs + s_.silent;
        for (int i = 0; i < total; ++i) {
            Station st;
            st.call = FreshCall();
            st.number = std::to_string(1000 + Pick(9000));
            st.logs = i < s_.logs;
            if (st.logs && Real() < s_.offsetLogs) {
                st.offset = 3 + Pick(s_.maxOffset - 2);
                if (Real() < 0.5) st.offset = -st.offset;
            }
            stationCalls_.insert(st.call);
            stations_.push_back(st);
        }
    }

    // Whether a station other than `except` has a call close to `call`: every
    // call one edit or a shift away is looked up.
    bool HasCloseStation(const std::string& call, const std::string& except) const {
        const auto station = [&](const std::string& c) { return c != except && c != call && stationCalls_.count(c); };
        static const std::string kChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/";
        for (std::size_t i = 0; i <= call.size(); ++i) {
            if (i < call.size()) {
                std::string dropped = call;
                dropped.erase(i, 1);
                if (station(dropped)) return true;
            }
            for (char c : kChars) {
                std::string added = call;
                added.insert(i, 1, c);
                if (station(added)) return true;
                if (i < call.size()) {
                    std::string changed = call;
                    changed[i] = c;
                    if (station(changed)) return true;
                }
            }
        }
        std::vector<std::size_t> twins;
        for (std::size_t i = 0; i < call.size(); ++i)
            if (Twin(call[i])) twins.push_back(i);
        for (unsigned mask = 1; mask < (1u << std::min<std::size_t>(twins.size(), 10)); ++mask) {
            std::string shifted = call;
            for (std::size_t k = 0; k < twins.size() && k < 10; ++k)
                if (mask & (1u << k)) shifted[twins[k]] = Twin(call[twins[k]]);
            if (station(shifted)) return true;
        }
        return false;
    }

    // A miscopied call that is no station's and close to no other station's call,
    // so that what happened is certain.
    std::string Bust(const std::string& call) {
        for (;;) {
            std::string busted = call;
            const double how = Real();
            const std::size_t at = static_cast<std::size_t>(Pick(static_cast<int>(call.size())));
            if (how < 0.25) {
                const auto digit = call.find_first_of(kFigures);
                busted[digit] = Twin(call[digit]);
            } else if (how < 0.6) {
                busted[at] = static_cast<char>('A' + Pick(26));
            } else if (how < 0.8) {
                busted.erase(at, 1);
            } else {
                busted.insert(at, 1, static_cast<char>('A' + Pick(26)));
            }
            if (busted == call || calls_.count(busted) || HasCloseStation(busted, call)) continue;
            calls_.insert(busted);
            return busted;
        }
    }

    std::string BustNumber(const std::string& number) {
        if (Real() < 1.0 / 3) {  // sent in figures, printed in letters
            std::string letters;
            for (char c : number) letters += Twin(c);
            return letters;
        }
        std::string busted = number;
        const std::size_t at = static_cast<std::size_t>(Pick(4));
        while (busted == number) busted[at] = static_cast<char>('0' + Pick(10));
        return busted;
    }

    void Log(int a, int b, const std::string& call, const Band& band, int minute, const std::string& truth,
             bool bustNumber) {
        const Station& me = stations_[a];
        const Station& other = stations_[b];
        // Some stations log the minute after: at the period's end that is outside it.
        const int right = minute + (Real() < 0.2 ? 1 : 0);
        const int logged = right + me.offset;
        const std::string rcvd = bustNumber ? BustNumber(other.number) : other.number;
        lines_[a].push_back({logged, Text(band, logged, me.call, me.number, call, rcvd),
                             right < kPeriodStart || right >= kPeriodStart + kPeriodMinutes ? "outside-period" : truth});
    }

    static std::string Text(const Band& band, int minute, const std::string& me, const std::string& sent,
                            const std::string& call, const std::string& rcvd) {
        // 2026-02-14 is the contest's first day.
        const int day = 14 + (minute >= 0 ? minute / 1440 : -1);
        const int inDay = ((minute % 1440) + 1440) % 1440;
        char text[160];
        std::snprintf(text, sizeof text, "QSO: %5d RY 2026-02-%02d %02d%02d %-13s %-3s %-6s %-13s %-3s %s", band.kHz,
                      day, inDay / 60, inDay % 60, me.c_str(), "599", sent.c_str(), call.c_str(), "599", rcvd.c_str());
        return text;
    }

    // A QSO between two stations that both send logs, with at most one error.
    long Pair(int a, int b, const Band& band, int minute) {
        const double r = Real();
        double at = 0;
        if (r < (at += s_.nil)) {  // b does not log it
            Log(a, b, stations_[b].call, band, minute, "nil", false);
            return 1;
        }
        if (r < (at += s_.bustedCall)) {
            Log(a, b, Bust(stations_[b].call), band, minute, "busted-call", false);
            Log(b, a, stations_[a].call, band, minute, "ok", false);
            return 2;
        }
        if (r < (at += s_.bustedNumber)) {
            Log(a, b, stations_[b].call, band, minute, "busted-exchange", true);
            Log(b, a, stations_[a].call, band, minute, "ok", false);
            return 2;
        }
        if (r < (at += s_.wrongBand)) {
            Log(a, b, stations_[b].call, kOffBand, minute, "wrong-band", false);
            Log(b, a, stations_[a].call, kOffBand, minute, "wrong-band", false);
            return 2;
        }
        if (r < (at += s_.outsidePeriod)) {
            const int after = kPeriodMinutes + 30 + Pick(60);
            Log(a, b, stations_[b].call, band, after, "outside-period", false);
            Log(b, a, stations_[a].call, band, after, "outside-period", false);
            return 2;
        }
        Log(a, b, stations_[b].call, band, minute, "ok", false);
        Log(b, a, stations_[a].call, band, minute, "ok", false);
        if (r < at + s_.dupe && minute + 70 < kPeriodMinutes) {  // worked again on the band later
            Log(a, b, stations_[b].call, band, minute + 60, "dupe", false);
            Log(b, a, stations_[a].call, band, minute + 60, "dupe", false);
            return 4;
        }
        return 2;
    }

    // A call heard once, far from every other call.
    long Unique(int a) {
        std::string call;
        do call = FreshCall();
        while (HasCloseStation(call, call));
        Station st{call, std::to_string(1000 + Pick(9000)), 0, false};
        stationCalls_.insert(call);
        stations_.push_back(st);
        Log(a, static_cast<int>(stations_.size() - 1), call, kBands[Pick(6)], Pick(kPeriodMinutes), "unique", false);
        return 1;
    }

    SimContest Write() {
        SimContest out;
        for (int a = 0; a < s_.logs; ++a) {
            auto& lines = lines_[static_cast<std::size_t>(a)];
            std::stable_sort(lines.begin(), lines.end(), [](const Line& x, const Line& y) { return x.minute < y.minute; });
            const Station& st = stations_[static_cast<std::size_t>(a)];
            std::string text = "START-OF-LOG: 3.0\r\nCALLSIGN: " + st.call + "\r\nCONTEST: VERDA-WW-DX\r\n" +
                               "CATEGORY-OPERATOR: " + (a % 5 == 0 ? "MULTI-OP" : "SINGLE-OP") + "\r\n" +
                               "CATEGORY-POWER: " + (a % 3 == 0 ? "LOW" : "HIGH") + "\r\n";
            const int headerLines = 5;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                text += lines[i].text + "\r\n";
                out.truth[{st.call, headerLines + 1 + static_cast<int>(i)}] = lines[i].truth;
            }
            text += "END-OF-LOG:\r\n";
            out.lines += lines.size();
            if (st.offset) out.offsets[st.call] = st.offset;
            out.files.emplace_back(st.call + ".log", std::move(text));
        }
        return out;
    }

    const SimSettings& s_;
    std::mt19937_64 rng_;
    std::vector<Station> stations_;
    std::unordered_set<std::string> calls_;         // every call made, busted ones too
    std::unordered_set<std::string> stationCalls_;  // the stations' own
    std::unordered_set<std::string> used_;
    std::vector<std::vector<Line>> lines_;
    std::vector<std::pair<int, int>> lineOfSilent_;
};

}  // namespace

SimContest SimulateContest(const SimSettings& settings) { return Simulator(settings).Run(); }
