#include "contest_config.h"

#include <toml++/toml.h>

#include "contest/writer.h"  // the contest's name, as the plug-in's Cabrillo log and posts give it
#include "server_limits.h"

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
        if (up(a[i]) != up(b[i])) return false;
    }
    return true;
}

class Reader {
public:
    Reader(const toml::table& root, const std::string& source) : root_(root), source_(source) {}

    [[noreturn]] void Fail(const std::string& key, const std::string& why) const {
        throw ConfigError(source_ + ": " + key + ": " + why);
    }

    const toml::table* Table(const char* name) const {
        const toml::node* node = root_.get(name);
        if (node && !node->is_table()) Fail(name, "must be a table");
        return node ? node->as_table() : nullptr;
    }

    // Every key of the file must be one this server reads, so that a misspelt one is not ignored.
    void OnlyKeys(const toml::table* table, const std::string& name, std::initializer_list<std::string_view> keys) const {
        if (!table) return;
        for (const auto& [key, value] : *table) {
            bool known = false;
            for (auto k : keys) known = known || key.str() == k;
            if (!known) Fail(name + "." + std::string(key.str()), "unknown key");
        }
    }

    template <class T>
    std::optional<T> Value(const toml::table* table, const std::string& name, const char* key) const {
        if (!table || !table->contains(key)) return std::nullopt;
        const auto value = (*table)[key].value<T>();
        if (!value) Fail(name + "." + key, "has the wrong kind of value");
        return value;
    }

    int Number(const toml::table* table, const std::string& name, const char* key, int fallback, int low,
               int high) const {
        const auto value = Value<std::int64_t>(table, name, key);
        if (!value) return fallback;
        if (*value < low || *value > high)
            Fail(name + "." + key, "must lie from " + std::to_string(low) + " to " + std::to_string(high));
        return static_cast<int>(*value);
    }

    std::optional<UtcSeconds> Time(const toml::table* table, const std::string& name, const char* key) const {
        const auto text = Value<std::string>(table, name, key);
        if (!text) return std::nullopt;
        const auto t = ParseUtc(*text);
        if (!t) Fail(name + "." + key, "\"" + *text + "\" is not \"yyyy-mm-dd hh:mm\" (UTC)");
        return t;
    }

private:
    const toml::table& root_;
    const std::string& source_;
};

}  // namespace

bool ContestConfig::Takes(std::string_view contest) const {
    for (const auto& name : names)
        if (SameIgnoringCase(name, contest)) return true;
    return false;
}

ContestConfig DefaultConfig() {
    ContestConfig c;
    c.names = {kCabrilloContestName, "VERDA-WW-DX"};
    c.postsPerMinute = limits::kDefaultPostsPerMinute;
    c.refreshSeconds = limits::kDefaultRefreshSeconds;
    return c;
}

ContestConfig ReadConfig(std::string_view text, const std::string& source) {
    toml::table root;
    try {
        root = toml::parse(text, source);
    } catch (const toml::parse_error& e) {
        throw ConfigError(source + ":" + std::to_string(e.source().begin.line) + ": " + std::string(e.description()));
    }
    const Reader r(root, source);
    for (const auto& [key, value] : root)
        if (key.str() != "contest" && key.str() != "server" && key.str() != "check") r.Fail(std::string(key.str()), "unknown table");
    const toml::table* contest = r.Table("contest");
    const toml::table* server = r.Table("server");
    const toml::table* check = r.Table("check");
    r.OnlyKeys(contest, "contest", {"name", "also", "start", "end", "score", "posts_per_minute", "deadline"});
    r.OnlyKeys(check, "check", {"cty", "missing_after", "modes"});
    r.OnlyKeys(server, "server", {"listen", "port", "data", "refresh_seconds"});

    ContestConfig c = DefaultConfig();
    if (const auto name = r.Value<std::string>(contest, "contest", "name")) {
        if (name->empty()) r.Fail("contest.name", "is empty");
        c.names = {*name};
    }
    if (contest && contest->contains("also")) {
        const toml::array* also = (*contest)["also"].as_array();
        if (!also) r.Fail("contest.also", "must be a list of names");
        for (const auto& item : *also) {
            const auto name = item.value<std::string>();
            if (!name || name->empty()) r.Fail("contest.also", "must be a list of names");
            c.names.push_back(*name);
        }
    }
    c.start = r.Time(contest, "contest", "start");
    c.end = r.Time(contest, "contest", "end");
    if (c.start.has_value() != c.end.has_value()) r.Fail("contest", "start and end come together");
    if (c.start && *c.end < *c.start) r.Fail("contest.end", "lies before the start");
    if (const auto score = r.Value<std::string>(contest, "contest", "score")) {
        if (*score != "points-times-mults" && *score != "as-posted")
            r.Fail("contest.score", "is \"points-times-mults\" or \"as-posted\"");
        c.pointsTimesMults = *score == "points-times-mults";
    }
    c.deadline = r.Time(contest, "contest", "deadline");
    if (c.deadline && c.end && *c.deadline < *c.end) r.Fail("contest.deadline", "lies before the end");
    if (const auto cty = r.Value<std::string>(check, "check", "cty")) c.ctyFile = *cty;
    if (check && check->contains("modes")) {
        const toml::array* modes = (*check)["modes"].as_array();
        if (!modes) r.Fail("check.modes", "must be a list of RY, CW, PH and DG");
        c.contestModes.clear();
        for (const auto& item : *modes) {
            const auto m = item.value<std::string>();
            if (m == "RY") c.contestModes.push_back("RTTY");
            else if (m == "CW") c.contestModes.push_back("CW");
            else if (m == "PH") c.contestModes.push_back("SSB");
            else if (m == "DG") c.contestModes.push_back("DIGI");
            else r.Fail("check.modes", "must be a list of RY, CW, PH and DG");
        }
        if (c.contestModes.empty()) r.Fail("check.modes", "names no mode");
    }
    c.missingAfter = r.Number(check, "check", "missing_after", c.missingAfter, 1, 1000000);
    c.postsPerMinute = r.Number(contest, "contest", "posts_per_minute", c.postsPerMinute, 0, 1000000);

    if (const auto listen = r.Value<std::string>(server, "server", "listen")) c.listen = *listen;
    c.port = r.Number(server, "server", "port", c.port, 1, 65535);
    if (const auto data = r.Value<std::string>(server, "server", "data")) c.dataDir = *data;
    c.refreshSeconds = r.Number(server, "server", "refresh_seconds", c.refreshSeconds, 5, 3600);
    return c;
}
