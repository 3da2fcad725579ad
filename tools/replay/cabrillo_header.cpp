#include "cabrillo_header.h"

#include <array>
#include <sstream>

#include "log_file.h"

namespace {

struct TagControl {
    std::string_view tag;
    int id;
};

// The dialog's control ids; "CATEGORY" is how a Cabrillo file names the operator category.
constexpr std::array<TagControl, 19> kControls = {{
    {"CONTEST", 1009},           {"CALLSIGN", 1010},           {"CATEGORY-OPERATOR", 1013},
    {"CATEGORY", 1013},          {"CATEGORY-ASSISTED", 1020},  {"CATEGORY-BAND", 1019},
    {"CATEGORY-MODE", 1018},     {"CATEGORY-POWER", 1017},     {"CATEGORY-TRANSMITTER", 1015},
    {"CATEGORY-OVERLAY", 1021},  {"NAME", 1007},               {"ADDRESS", 1002},
    {"ADDRESS-CITY", 1014},      {"ADDRESS-POSTALCODE", 1011}, {"ADDRESS-COUNTRY", 1003},
    {"OPERATORS", 1006},         {"CLUB", 1005},               {"SOAPBOX", 1001},
    {"EMAIL", 1004},
}};

}  // namespace

std::vector<HeaderValue> ReadCabrilloHeader(std::string_view text, const std::string& name) {
    std::vector<HeaderValue> values;
    std::istringstream in{std::string(text)};
    std::string raw;
    for (int line = 1; std::getline(in, raw); ++line) {
        const std::string trimmed = Trim(raw);
        if (trimmed.empty() || trimmed.front() == '#') continue;
        const auto colon = trimmed.find(':');
        if (colon == std::string::npos)
            throw InputError(name + ": line " + std::to_string(line) + ": expected \"TAG: value\"");
        const std::string tag = ToUpper(Trim(trimmed.substr(0, colon)));
        const std::string value = Trim(trimmed.substr(colon + 1));
        int id = 0;
        for (const auto& c : kControls)
            if (c.tag == tag) id = c.id;
        if (id == 0) throw InputError(name + ": line " + std::to_string(line) + ": unknown header tag " + tag);
        HeaderValue* existing = nullptr;
        for (auto& v : values)
            if (v.controlId == id) existing = &v;
        if (!existing) {
            values.push_back({id, tag, value});
        } else if (tag == "ADDRESS") {
            existing->text += "<CR>" + value;
        } else if (tag == "SOAPBOX") {
            existing->text += "\r\n" + value;
        } else {
            existing->text = value;
        }
    }
    return values;
}
