#include "logs/cty_dat.h"

#include <algorithm>
#include <array>

#include "logs/input_error.h"
#include "logs/text.h"

namespace {

constexpr std::array<std::string_view, 7> kContinents = {"AF", "AN", "AS", "EU", "NA", "OC", "SA"};

bool IsContinent(std::string_view c) { return std::find(kContinents.begin(), kContinents.end(), c) != kContinents.end(); }

int LineAt(std::string_view text, std::size_t pos) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
}

}  // namespace

CountryFile CountryFile::Parse(std::string_view text, const std::string& name) {
    CountryFile cty;
    std::size_t pos = 0;
    auto fail = [&](std::size_t at, const std::string& what) {
        throw InputError(name + ": line " + std::to_string(LineAt(text, at)) + ": " + what);
    };
    for (;;) {
        pos = text.find_first_not_of(" \t\r\n", pos);
        if (pos == std::string_view::npos) break;
        const std::size_t start = pos;
        std::array<std::string, 8> fields;
        for (auto& field : fields) {
            const auto colon = text.find(':', pos);
            const auto semicolon = text.find(';', pos);
            if (colon == std::string_view::npos || colon > semicolon)
                fail(start, "expected an entity line \"Name: CQ: ITU: Continent: Lat: Long: TZ: Prefix:\"");
            field = Trim(text.substr(pos, colon - pos));
            pos = colon + 1;
        }
        const auto end = text.find(';', pos);
        if (end == std::string_view::npos) fail(start, "the entity " + fields[0] + " is not closed by ';'");
        const std::string_view aliases = text.substr(pos, end - pos);
        pos = end + 1;

        const std::string& primary = fields[7];
        if (primary.empty()) fail(start, "the entity " + fields[0] + " has no prefix");
        if (primary.front() == '*') continue;  // award-only entity
        if (!IsContinent(fields[3])) fail(start, "\"" + fields[3] + "\" is not a continent");
        const std::size_t entity = cty.entities_.size();
        cty.entities_.push_back({primary, fields[3]});

        for (std::size_t a = 0; a < aliases.size();) {
            auto comma = aliases.find(',', a);
            if (comma == std::string_view::npos) comma = aliases.size();
            std::string alias = Trim(aliases.substr(a, comma - a));
            a = comma + 1;
            if (alias.empty()) continue;
            Alias entry{entity, {}};
            if (auto open = alias.find('{'); open != std::string::npos) {
                const auto close = alias.find('}', open);
                entry.continent = alias.substr(open + 1, close == std::string::npos ? close : close - open - 1);
                if (!IsContinent(entry.continent)) fail(start, "alias " + alias + " has a bad continent");
            }
            alias = ToUpper(alias.substr(0, alias.find_first_of("([<{~")));
            const bool exact = !alias.empty() && alias.front() == '=';
            if (exact) alias.erase(0, 1);
            if (alias.empty()) continue;
            if (!exact) cty.longestPrefix_ = std::max(cty.longestPrefix_, alias.size());
            // The first entity to claim an alias keeps it.
            (exact ? cty.exact_ : cty.prefixes_).emplace(std::move(alias), std::move(entry));
        }
    }
    if (cty.entities_.empty()) throw InputError(name + ": no entities (is this a cty.dat country file?)");
    return cty;
}

std::optional<CtyMatch> CountryFile::Match(const Alias& alias) const {
    CtyMatch m = entities_[alias.entity];
    if (!alias.continent.empty()) m.continent = alias.continent;
    return m;
}

std::optional<CtyMatch> CountryFile::ExactCall(std::string_view call) const {
    auto it = exact_.find(std::string(call));
    if (it == exact_.end()) return std::nullopt;
    return Match(it->second);
}

std::optional<CtyMatch> CountryFile::LongestPrefix(std::string_view text) const {
    for (std::size_t n = std::min(text.size(), longestPrefix_); n > 0; --n) {
        auto it = prefixes_.find(std::string(text.substr(0, n)));
        if (it != prefixes_.end()) return Match(it->second);
    }
    return std::nullopt;
}
