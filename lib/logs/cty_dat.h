// The standard country file cty.dat: entities ("Name: CQ: ITU: Continent: Lat:
// Long: TZ: Prefix:") each followed by its aliases, closed by ';'. "=CALL" is an
// exact call; "(cq)", "[itu]", "<lat/long>", "{continent}", "~tz~" may follow an
// alias and only the continent override matters here. Entities whose primary
// prefix starts with '*' exist for one award only and are left out. Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct CtyMatch {
    std::string country;    // the entity's primary prefix, such as "OH0", "UA9", "K"
    std::string continent;  // "EU", "AS", ... with an alias's override applied
};

class CountryFile {
public:
    // Throws InputError naming `name` and the line when the text is not a country file.
    static CountryFile Parse(std::string_view text, const std::string& name);

    std::optional<CtyMatch> ExactCall(std::string_view call) const;
    // The entity of the longest alias prefix that begins `text`.
    std::optional<CtyMatch> LongestPrefix(std::string_view text) const;
    std::size_t entityCount() const { return entities_.size(); }

private:
    struct Alias {
        std::size_t entity;
        std::string continent;
    };
    std::optional<CtyMatch> Match(const Alias& alias) const;

    std::vector<CtyMatch> entities_;
    std::unordered_map<std::string, Alias> exact_, prefixes_;
    std::size_t longestPrefix_ = 0;
};
