#include "logs/callsign.h"

#include <algorithm>
#include <array>
#include <vector>

#include "logs/cty_dat.h"
#include "logs/text.h"

namespace {

// Suffixes that say how the station operates, not where.
constexpr std::array<std::string_view, 9> kIgnoredSuffixes = {"P", "M", "MM", "AM", "QRP", "QRPP", "A", "B", "LH"};

bool IsIgnoredSuffix(std::string_view part) {
    return std::find(kIgnoredSuffixes.begin(), kIgnoredSuffixes.end(), part) != kIgnoredSuffixes.end();
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A designator names a prefix: up to its last digit, or with "0" added when it has none.
std::string DesignatorPrefix(std::string_view designator) {
    const auto last = designator.find_last_of("0123456789");
    if (last == std::string_view::npos) return std::string(designator) + "0";
    return std::string(designator.substr(0, last + 1));
}

struct CallParts {
    std::string home;        // the call itself
    std::string designator;  // a portable prefix, if any
    char area = 0;           // a call area given after a slash, if any
    bool onlyIgnored = true; // nothing but ignored suffixes besides the home call
};

CallParts Split(const std::string& call) {
    std::vector<std::string> parts;
    for (std::size_t at = 0; at <= call.size();) {
        auto slash = call.find('/', at);
        if (slash == std::string::npos) slash = call.size();
        if (slash > at) parts.push_back(call.substr(at, slash - at));
        at = slash + 1;
    }
    CallParts p;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0 && IsIgnoredSuffix(parts[i])) continue;
        if (i > 0 && parts[i].size() == 1 && IsDigit(parts[i][0])) {
            p.area = parts[i][0];
            p.onlyIgnored = false;
            continue;
        }
        rest.push_back(parts[i]);
    }
    if (rest.empty()) return p;
    // The home call is the longest part; a shorter one is the designator.
    auto home = std::max_element(rest.begin(), rest.end(),
                                 [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
    p.home = *home;
    for (auto it = rest.begin(); it != rest.end(); ++it) {
        if (it == home) continue;
        p.designator = *it;
        p.onlyIgnored = false;
        break;
    }
    return p;
}

}  // namespace

std::string CallPrefix(std::string_view call) {
    const auto last = call.find_last_of("0123456789");
    if (last == std::string_view::npos) return std::string(call.substr(0, 2)) + "0";
    return std::string(call.substr(0, last + 1));
}

CallAnalysis AnalyseCall(const CountryFile& cty, std::string_view rawCall) {
    const std::string call = ToUpper(Trim(rawCall));
    const CallParts parts = Split(call);

    CallAnalysis result;
    std::string lookup;  // what the country is looked up by
    if (!parts.designator.empty()) {
        result.prefix = DesignatorPrefix(parts.designator);
        lookup = parts.designator;
    } else {
        result.prefix = CallPrefix(parts.home);
        lookup = parts.home;
        if (parts.area && !result.prefix.empty()) {
            // A call without digits keeps two characters of its own before the area.
            const bool hasDigit = parts.home.find_first_of("0123456789") != std::string::npos;
            const std::size_t homePrefixLength = std::min(hasDigit ? result.prefix.size() : 2, parts.home.size());
            result.prefix.back() = parts.area;
            lookup = result.prefix + parts.home.substr(homePrefixLength);
        }
    }

    auto match = cty.ExactCall(call);
    if (!match && parts.onlyIgnored) match = cty.ExactCall(parts.home);
    if (!match) match = cty.LongestPrefix(lookup);
    if (match) {
        result.country = match->country;
        result.continent = match->continent;
    }
    return result;
}
