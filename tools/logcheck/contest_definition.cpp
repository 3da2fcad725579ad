#include "contest_definition.h"

#include <algorithm>
#include <cmath>

#include <toml++/toml.h>

#include "logs/bands.h"
#include "logs/dates.h"
#include "logs/input_error.h"
#include "logs/text.h"

namespace {

// toml++ 3.3 reaches __builtin_unreachable when it asks whether one of these
// characters is whitespace, which it does wherever whitespace may stand (after
// a value, between keys). For the parser each is swapped for a character of
// plane 15's private use area, which it reads as what the character is: no
// whitespace. Every text read back gets the file's own character again.
constexpr char32_t kStandIn = 0xF0000;

bool TomlCannotAsk(char32_t c) {
    if (c <= 0xA0 || c >= 0xFEFF || c == 0x3000) return false;
    const auto child = (c - 0xA0) / 0x3FA;  // the library's own table lookup
    return ((1ull << child) & 0x7FFFFFFFFFFFF75Eull) == 0 && child != 5 && child != 7;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    }
    out += static_cast<char>(0x80 | (c & 0x3F));
}

// Calls f(start, length, code point) for each well-formed multi-byte
// sequence; other bytes are left for the library to refuse.
template <typename F>
void EachSequence(std::string_view text, F f) {
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t n = b >= 0xF8 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        char32_t c = n == 4 ? b & 0x07u : n == 3 ? b & 0x0Fu : b & 0x1Fu;
        bool whole = n > 1 && i + n <= text.size();
        for (std::size_t k = 1; whole && k < n; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            whole = (next & 0xC0) == 0x80;
            c = c << 6 | (next & 0x3Fu);
        }
        whole = whole && c >= (n == 2 ? 0x80u : n == 3 ? 0x800u : 0x10000u) && c <= 0x10FFFF;
        if (whole) f(i, n, c);
        i += whole ? n : 1;
    }
}

std::string ForTheParser(std::string_view text, const std::string& file) {
    std::string out;
    std::size_t done = 0;
    EachSequence(text, [&](std::size_t at, std::size_t n, char32_t c) {
        if (c >= kStandIn && c < kStandIn + 0x10000) {
            const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n');
            throw InputError(file + ": line " + std::to_string(line) + ": a private-use character (plane 15)");
        }
        if (!TomlCannotAsk(c)) return;
        out.append(text.substr(done, at - done));
        AppendUtf8(out, kStandIn + c);
        done = at + n;
    });
    out.append(text.substr(done));
    return out;
}

std::string FromTheParser(std::string_view text) {
    std::string out;
    std::size_t done = 0;
    EachSequence(text, [&](std::size_t at, std::size_t n, char32_t c) {
        if (c < kStandIn || c >= kStandIn + 0x10000) return;
        out.append(text.substr(done, at - done));
        AppendUtf8(out, c - kStandIn);
        done = at + n;
    });
    out.append(text.substr(done));
    return out;
}

template <typename E>
using Choices = std::initializer_list<std::pair<std::string_view, E>>;

class DefinitionReader {
public:
    explicit DefinitionReader(std::string file) : file_(std::move(file)) {}

    ContestDefinition Read(std::string_view text) {
        const std::string parsed = ForTheParser(text, file_);
        toml::table root;
        try {
            root = toml::parse(parsed, file_);
        } catch (const toml::parse_error& e) {
            throw InputError(file_ + ": line " + std::to_string(e.source().begin.line) + ": " +
                             FromTheParser(e.description()));
        }
        OnlyKeys(root, "", {"name", "scoring", "bands", "modes", "score", "period_clock", "period", "segment", "exchange",
                            "matching", "dupes", "errors", "no_log", "points", "multiplier"});
        ContestDefinition d;
        d.name = Printable(String(Required(root, "", "name"), "name"));
        d.pluginRules = false;
        if (const toml::node* n = root.get("scoring"))
            d.pluginRules = Choice<bool>(*n, "scoring", {{"plug-in", true}, {"definition", false}});
        if (d.pluginRules)
            for (const char* key : {"bands", "segment", "dupes", "points", "multiplier", "score"})
                if (const toml::node* n = root.get(key))
                    Fail(*n, key, "the plug-in's rule code decides it where scoring = \"plug-in\"");

        d.modes.clear();
        for (const auto& [mode, n] : Strings(Required(root, "", "modes"), "modes")) {
            const std::string m = ReaderMode(mode);
            if (m.empty()) Fail(*n, "modes", "\"" + Printable(mode) + "\" is not CW, PH, RY, DG or FM");
            d.modes.push_back(m);
        }
        if (!d.pluginRules)
            for (const auto& [band, n] : Strings(Required(root, "", "bands"), "bands")) {
                if (BandEdgeHz(ToLower(band)) == 0) Fail(*n, "bands", "\"" + Printable(band) + "\" is not a band");
                d.bands.push_back(ToLower(band));
            }
        ReadPeriods(root, d);
        if (const toml::node* n = root.get("period_clock"))
            d.periodOnLoggedClock = Choice<bool>(*n, "period_clock", {{"logged", true}, {"corrected", false}});
        ReadSegments(root, d);
        ReadExchange(root, d);
        if (const toml::table* t = Section(root, "matching", {"bands_may_differ"}))
            if (const toml::node* v = t->get("bands_may_differ")) d.bandsMayDiffer = Boolean(*v, "matching.bands_may_differ");
        ReadDupes(root, d);
        ReadErrors(root, d);
        ReadNoLog(root, d);
        if (!d.pluginRules) {
            ReadPoints(root, d);
            ReadMultipliers(root, d);
            const bool mults = !d.multipliers.empty();
            d.score = mults ? ScoreFormula::pointsTimesMultipliers : ScoreFormula::sumOfPoints;
            if (const toml::node* n = root.get("score")) {
                d.score = Choice<ScoreFormula>(*n, "score", {{"points-times-multipliers", ScoreFormula::pointsTimesMultipliers},
                                                             {"sum-of-points", ScoreFormula::sumOfPoints}});
                if (d.score == ScoreFormula::pointsTimesMultipliers && !mults)
                    Fail(*n, "score", "points-times-multipliers needs a [[multiplier]]");
            }
        }
        return d;
    }

private:
    [[noreturn]] void Fail(const toml::node& at, const std::string& key, const std::string& what) const {
        throw InputError(file_ + ": line " + std::to_string(at.source().begin.line) + ": " + FromTheParser(key) + ": " +
                         FromTheParser(what));
    }

    static std::string Key(const std::string& path, std::string_view key) {
        return path.empty() ? std::string(key) : path + "." + std::string(key);
    }

    // A table whose key is unknown is most likely a typing error: it is named
    // rather than left to be silently ignored.
    void OnlyKeys(const toml::table& t, const std::string& path, std::initializer_list<std::string_view> allowed) const {
        for (const auto& [key, node] : t)
            if (std::find(allowed.begin(), allowed.end(), key.str()) == allowed.end())
                Fail(node, Key(path, key.str()), "unknown key (" + KeyList(allowed) + " are known here)");
    }

    static std::string KeyList(std::initializer_list<std::string_view> keys) {
        std::string text;
        for (auto k : keys) text += (text.empty() ? "" : ", ") + std::string(k);
        return text;
    }

    const toml::node& Required(const toml::table& t, const std::string& path, std::string_view key) const {
        if (const toml::node* n = t.get(key)) return *n;
        Fail(t, Key(path, key), "missing");
    }

    static const char* TypeName(const toml::node& n) {
        switch (n.type()) {
            case toml::node_type::table: return "a table";
            case toml::node_type::array: return "an array";
            case toml::node_type::string: return "a text";
            case toml::node_type::integer: return "an integer";
            case toml::node_type::floating_point: return "a decimal number";
            case toml::node_type::boolean: return "true or false";
            default: return "a date or time";
        }
    }

    std::string String(const toml::node& n, const std::string& key) const {
        if (const auto* s = n.as_string()) return FromTheParser(s->get());
        Fail(n, key, std::string("a text is wanted, this is ") + TypeName(n));
    }

    int Integer(const toml::node& n, const std::string& key, int low, int high) const {
        const auto* i = n.as_integer();
        if (!i) Fail(n, key, std::string("an integer is wanted, this is ") + TypeName(n));
        if (i->get() < low || i->get() > high)
            Fail(n, key, std::to_string(i->get()) + " is not from " + std::to_string(low) + " to " + std::to_string(high));
        return static_cast<int>(i->get());
    }

    bool Boolean(const toml::node& n, const std::string& key) const {
        if (const auto* b = n.as_boolean()) return b->get();
        Fail(n, key, std::string("true or false is wanted, this is ") + TypeName(n));
    }

    template <typename E>
    E Choice(const toml::node& n, const std::string& key, Choices<E> choices) const {
        const std::string s = String(n, key);
        for (const auto& [name, value] : choices)
            if (s == name) return value;
        std::string names;
        for (const auto& c : choices) names += std::string(names.empty() ? "" : ", ") + "\"" + std::string(c.first) + "\"";
        Fail(n, key, "\"" + Printable(s) + "\" is not one of " + names);
    }

    // An optional [key] table, its keys checked; null where the file has none.
    const toml::table* Section(const toml::table& root, const std::string& key,
                               std::initializer_list<std::string_view> allowed) const {
        const toml::node* n = root.get(key);
        if (!n) return nullptr;
        const toml::table& t = Table(*n, key);
        OnlyKeys(t, key, allowed);
        return &t;
    }

    const toml::table& Table(const toml::node& n, const std::string& key) const {
        if (const auto* t = n.as_table()) return *t;
        Fail(n, key, std::string("a table is wanted, this is ") + TypeName(n));
    }

    // [[key]]: an array of tables.
    std::vector<const toml::table*> Tables(const toml::table& root, std::string_view key) const {
        std::vector<const toml::table*> tables;
        const toml::node* n = root.get(key);
        if (!n) return tables;
        const auto* a = n->as_array();
        if (!a) Fail(*n, std::string(key), "wanted as [[" + std::string(key) + "]] tables");
        for (const toml::node& e : *a) tables.push_back(&Table(e, std::string(key)));
        return tables;
    }

    std::vector<std::pair<std::string, const toml::node*>> Strings(const toml::node& n, const std::string& key) const {
        std::vector<std::pair<std::string, const toml::node*>> out;
        const auto* a = n.as_array();
        if (!a) Fail(n, key, std::string("an array of texts is wanted, this is ") + TypeName(n));
        for (const toml::node& e : *a) out.emplace_back(String(e, key), &e);
        if (out.empty()) Fail(n, key, "names none");
        return out;
    }

    std::vector<std::string> Modes(const toml::table& t, const std::string& path, const ContestDefinition& d) const {
        std::vector<std::string> modes;
        if (const toml::node* n = t.get("modes"))
            for (const auto& [mode, e] : Strings(*n, Key(path, "modes"))) {
                const std::string m = ReaderMode(mode);
                if (std::find(d.modes.begin(), d.modes.end(), m) == d.modes.end())
                    Fail(*e, Key(path, "modes"), "\"" + Printable(mode) + "\" is not one of the contest's modes");
                modes.push_back(m);
            }
        return modes;
    }

    // A time as "YYYY-MM-DD HHMM" or a TOML date-time in UTC, in minutes; a day
    // alone is its first minute, and `dayOnly` says it was one.
    std::int32_t Minute(const toml::node& n, const std::string& key, bool& dayOnly) const {
        DateTime t;
        dayOnly = false;
        bool ok = false;
        if (const auto* s = n.as_string()) {
            ok = ParseWhen(s->get(), t);
            dayOnly = ok && s->get().size() == 10;
        } else if (const auto* dt = n.as_date_time()) {
            const auto& v = dt->get();
            ok = (!v.offset || v.offset->minutes == 0) && v.time.second == 0 &&
                 MakeQsoTime(v.date.year, v.date.month, v.date.day, v.time.hour, v.time.minute, 0, t);
        } else if (const auto* day = n.as_date()) {
            ok = MakeQsoTime(day->get().year, day->get().month, day->get().day, 0, 0, 0, t);
            dayOnly = ok;
        }
        if (!ok) Fail(n, key, "not a time \"YYYY-MM-DD HHMM\" (UTC) or a day \"YYYY-MM-DD\"");
        return static_cast<std::int32_t>(std::llround(t.value * 1440.0));
    }

    void ReadPeriods(const toml::table& root, ContestDefinition& d) const {
        for (const toml::table* t : Tables(root, "period")) {
            const std::string path = "period[" + std::to_string(d.periods.size() + 1) + "]";
            OnlyKeys(*t, path, {"start", "end", "modes"});
            bool day = false;
            Period p;
            p.first = Minute(Required(*t, path, "start"), Key(path, "start"), day);
            const toml::node& endNode = Required(*t, path, "end");
            const std::int32_t end = Minute(endNode, Key(path, "end"), day);
            p.last = day ? end + 1439 : end - 1;  // a day named as the end takes all of it
            if (p.last < p.first) Fail(endNode, Key(path, "end"), "the period ends before it starts");
            p.modes = Modes(*t, path, d);
            d.periods.push_back(std::move(p));
        }
    }

    void ReadSegments(const toml::table& root, ContestDefinition& d) const {
        for (const toml::table* t : Tables(root, "segment")) {
            const std::string path = "segment[" + std::to_string(d.segments.size() + 1) + "]";
            OnlyKeys(*t, path, {"band", "from", "to", "modes"});
            Segment s;
            const toml::node& band = Required(*t, path, "band");
            s.band = ToLower(String(band, Key(path, "band")));
            if (!d.HasBand(s.band)) Fail(band, Key(path, "band"), "\"" + Printable(s.band) + "\" is not one of the bands");
            const toml::node& to = Required(*t, path, "to");
            s.fromKHz = static_cast<std::uint64_t>(Integer(Required(*t, path, "from"), Key(path, "from"), 1, 300000000));
            s.toKHz = static_cast<std::uint64_t>(Integer(to, Key(path, "to"), 1, 300000000));
            if (s.toKHz < s.fromKHz) Fail(to, Key(path, "to"), "the segment ends below its start");
            s.modes = Modes(*t, path, d);
            d.segments.push_back(std::move(s));
        }
    }

    void ReadExchange(const toml::table& root, ContestDefinition& d) const {
        const auto tables = Tables(root, "exchange");
        if (tables.empty()) Fail(root, "exchange", "missing: a [[exchange]] table for each field of a side");
        for (const toml::table* t : tables) {
            const std::string path = "exchange[" + std::to_string(d.exchange.size() + 1) + "]";
            if (d.exchange.size() == kMaxExchangeFields) Fail(*t, path, "more than " + std::to_string(kMaxExchangeFields) + " fields");
            OnlyKeys(*t, path, {"name", "kind", "checked"});
            ExchangeField f;
            const toml::node& name = Required(*t, path, "name");
            f.name = Printable(String(name, Key(path, "name")));
            if (f.name.empty()) Fail(name, Key(path, "name"), "empty");
            for (const auto& other : d.exchange)
                if (other.name == f.name) Fail(name, Key(path, "name"), "a second field \"" + f.name + "\"");
            f.kind = Choice<FieldKind>(Required(*t, path, "kind"), Key(path, "kind"),
                                       {{"rst", FieldKind::rst}, {"number", FieldKind::number}, {"text", FieldKind::text}});
            if (const toml::node* n = t->get("checked")) f.checked = Boolean(*n, Key(path, "checked"));
            d.exchange.push_back(std::move(f));
        }
        if (d.pluginRules &&
            std::none_of(d.exchange.begin(), d.exchange.end(), [](const auto& f) { return f.kind == FieldKind::number; }))
            Fail(root, "exchange", "the plug-in's rule code needs a field of kind \"number\"");
    }

    void ReadDupes(const toml::table& root, ContestDefinition& d) const {
        const toml::table* section = Section(root, "dupes", {"per", "repeat_after"});
        if (!section) return;
        const toml::table& t = *section;
        if (const toml::node* per = t.get("per"))
            d.dupes = Choice<DupeScope>(*per, "dupes.per",
                                        {{"band", DupeScope::band}, {"band-mode", DupeScope::bandMode}, {"none", DupeScope::none}});
        if (const toml::node* after = t.get("repeat_after")) {
            d.repeatAfter = Integer(*after, "dupes.repeat_after", 1, 100000);
            if (d.dupes == DupeScope::none) Fail(*after, "dupes.repeat_after", "repeats are credited anyway where per = \"none\"");
        }
    }

    void ReadErrors(const toml::table& root, ContestDefinition& d) const {
        const toml::table* section = Section(root, "errors", {"busted_call", "busted_exchange", "outside_period", "penalty"});
        if (!section) return;
        const toml::table& t = *section;
        if (const toml::node* v = t.get("busted_call"))
            d.bustedCall = Choice<Loser>(*v, "errors.busted_call", {{"buster", Loser::oneSide}, {"both", Loser::bothSides}});
        if (const toml::node* v = t.get("busted_exchange"))
            d.bustedExchange =
                Choice<Loser>(*v, "errors.busted_exchange", {{"copier", Loser::oneSide}, {"both", Loser::bothSides}});
        if (const toml::node* v = t.get("outside_period"))
            d.outsidePeriod =
                Choice<Loser>(*v, "errors.outside_period", {{"logger", Loser::oneSide}, {"both", Loser::bothSides}});
        if (const toml::node* v = t.get("penalty")) d.penalty = Integer(*v, "errors.penalty", 0, 100);
    }

    void ReadNoLog(const toml::table& root, ContestDefinition& d) const {
        const toml::table* section = Section(root, "no_log", {"credited_from", "points"});
        if (!section) return;
        const toml::table& t = *section;
        if (const toml::node* from = t.get("credited_from"))
            d.noLogCreditedFrom = from->as_string() ? Choice<int>(*from, "no_log.credited_from", {{"never", 0}})
                                                    : Integer(*from, "no_log.credited_from", 1, 100000);
        if (const toml::node* points = t.get("points")) {
            if (d.pluginRules) Fail(*points, "no_log.points", "the plug-in's rule code decides it where scoring = \"plug-in\"");
            d.noLogPoints = Integer(*points, "no_log.points", 0, 1000000);
        }
    }

    void ReadPoints(const toml::table& root, ContestDefinition& d) const {
        const toml::table& t = Table(Required(root, "", "points"), "points");
        OnlyKeys(t, "points", {"qso", "by_band", "by_region", "reduced"});
        int ways = 0;
        if (const toml::node* n = t.get("qso")) {
            ++ways;
            d.pointsBy = PointsBy::qso;
            d.qsoPoints = Integer(*n, "points.qso", 0, 1000000);
        }
        if (const toml::node* n = t.get("by_band")) {
            ++ways;
            d.pointsBy = PointsBy::band;
            const toml::table& bands = Table(*n, "points.by_band");
            for (const auto& [key, value] : bands) {
                const std::string band = ToLower(std::string(key.str()));
                if (!d.HasBand(band)) Fail(value, Key("points.by_band", key.str()), "not one of the bands");
                d.bandPoints.emplace_back(band, Integer(value, Key("points.by_band", key.str()), 0, 1000000));
            }
            for (const auto& band : d.bands)
                if (d.PointsOnBand(band) < 0) Fail(bands, "points.by_band", "no points for " + band);
        }
        if (const toml::node* n = t.get("by_region")) {
            ++ways;
            d.pointsBy = PointsBy::region;
            const toml::table& r = Table(*n, "points.by_region");
            OnlyKeys(r, "points.by_region", {"same_country", "same_continent", "other"});
            d.sameCountryPoints = Integer(Required(r, "points.by_region", "same_country"), "points.by_region.same_country", 0, 1000000);
            d.sameContinentPoints =
                Integer(Required(r, "points.by_region", "same_continent"), "points.by_region.same_continent", 0, 1000000);
            d.otherPoints = Integer(Required(r, "points.by_region", "other"), "points.by_region.other", 0, 1000000);
        }
        if (ways != 1) Fail(t, "points", "give one of qso, by_band and by_region");
        if (const toml::node* n = t.get("reduced")) {
            const toml::table& r = Table(*n, "points.reduced");
            OnlyKeys(r, "points.reduced", {"one_field_wrong"});
            if (const toml::node* v = r.get("one_field_wrong"))
                d.oneFieldWrongPoints = Integer(*v, "points.reduced.one_field_wrong", 0, 1000000);
        }
    }

    void ReadMultipliers(const toml::table& root, ContestDefinition& d) const {
        for (const toml::table* t : Tables(root, "multiplier")) {
            const std::string path = "multiplier[" + std::to_string(d.multipliers.size() + 1) + "]";
            OnlyKeys(*t, path, {"kind", "field", "per", "values"});
            Multiplier m;
            m.kind = Choice<MultiplierKind>(Required(*t, path, "kind"), Key(path, "kind"),
                                            {{"field", MultiplierKind::field},
                                             {"country", MultiplierKind::country},
                                             {"prefix", MultiplierKind::prefix}});
            const toml::node* field = t->get("field");
            if (m.kind == MultiplierKind::field) {
                if (!field) Fail(*t, Key(path, "field"), "missing: which exchange field's values count");
                const std::string name = String(*field, Key(path, "field"));
                const auto it = std::find_if(d.exchange.begin(), d.exchange.end(),
                                             [&](const ExchangeField& f) { return f.name == name; });
                if (it == d.exchange.end()) Fail(*field, Key(path, "field"), "\"" + Printable(name) + "\" is no exchange field");
                m.field = static_cast<std::size_t>(it - d.exchange.begin());
                if (const toml::node* values = t->get("values"))
                    for (const auto& [value, n] : Strings(*values, Key(path, "values"))) m.values.push_back(ToUpper(value));
            } else if (field) {
                Fail(*field, Key(path, "field"), "only a multiplier of kind \"field\" names one");
            } else if (const toml::node* values = t->get("values")) {
                Fail(*values, Key(path, "values"), "only a multiplier of kind \"field\" lists values");
            }
            if (const toml::node* per = t->get("per"))
                m.per = Choice<MultiplierScope>(*per, Key(path, "per"),
                                                {{"band", MultiplierScope::band},
                                                 {"band-mode", MultiplierScope::bandMode},
                                                 {"mode", MultiplierScope::mode},
                                                 {"contest", MultiplierScope::contest}});
            d.multipliers.push_back(m);
        }
    }

    std::string file_;
};

bool Lists(const std::vector<std::string>& list, std::string_view text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

}  // namespace

std::string ReaderMode(std::string_view name) {
    const std::string m = ToUpper(std::string(name));
    if (m == "CW") return "CW";
    if (m == "PH" || m == "SSB") return "SSB";
    if (m == "RY" || m == "RTTY") return "RTTY";
    if (m == "DG" || m == "DIGI") return "DIGI";
    if (m == "FM") return "FM";
    return "";
}

std::vector<ExchangeField> ContestDefinition::Fields() const {
    if (!exchange.empty()) return exchange;
    return {{"rst", FieldKind::rst, false}, {"number", FieldKind::number, true}};
}

bool ContestDefinition::InPeriod(std::int32_t minute, std::string_view mode) const {
    if (periods.empty()) return true;
    for (const Period& p : periods)
        if (minute >= p.first && minute <= p.last && (p.modes.empty() || Lists(p.modes, mode))) return true;
    return false;
}

bool ContestDefinition::HasMode(std::string_view mode) const { return Lists(modes, mode); }
bool ContestDefinition::HasBand(std::string_view band) const { return Lists(bands, band); }

bool ContestDefinition::InSegment(std::string_view band, std::string_view mode, std::uint64_t kHz) const {
    bool any = false;
    for (const Segment& s : segments) {
        if (s.band != band || !(s.modes.empty() || Lists(s.modes, mode))) continue;
        any = true;
        if (kHz >= s.fromKHz && kHz <= s.toKHz) return true;
    }
    return !any;
}

int ContestDefinition::PointsOnBand(std::string_view band) const {
    for (const auto& [name, points] : bandPoints)
        if (name == band) return points;
    return -1;
}

ContestDefinition ReadContestDefinition(std::string_view text, const std::string& file) {
    return DefinitionReader(file).Read(text);
}
