#include "cabrillo_header.h"

#include <array>
#include <sstream>

#include "logs/input_error.h"
#include "logs/text.h"
#include "resources/resource.h"

namespace {

struct TagControl {
    std::string_view tag;
    int id;
};

// "CATEGORY" is how a Cabrillo file names the operator category.
constexpr std::array<TagControl, 19> kControls = {{
    {"CONTEST", IDC_CONTEST},
    {"CALLSIGN", IDC_CALLSIGN},
    {"CATEGORY-OPERATOR", IDC_CATEGORY_OPERATOR},
    {"CATEGORY", IDC_CATEGORY_OPERATOR},
    {"CATEGORY-ASSISTED", IDC_CATEGORY_ASSISTED},
    {"CATEGORY-BAND", IDC_CATEGORY_BAND},
    {"CATEGORY-MODE", IDC_CATEGORY_MODE},
    {"CATEGORY-POWER", IDC_CATEGORY_POWER},
    {"CATEGORY-TRANSMITTER", IDC_CATEGORY_TRANSMITTER},
    {"CATEGORY-OVERLAY", IDC_CATEGORY_OVERLAY},
    {"NAME", IDC_NAME},
    {"ADDRESS", IDC_ADDRESS},
    {"ADDRESS-CITY", IDC_ADDRESS_CITY},
    {"ADDRESS-POSTALCODE", IDC_ADDRESS_POSTALCODE},
    {"ADDRESS-COUNTRY", IDC_ADDRESS_COUNTRY},
    {"OPERATORS", IDC_OPERATORS},
    {"CLUB", IDC_CLUB},
    {"SOAPBOX", IDC_SOAPBOX},
    {"EMAIL", IDC_EMAIL},
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
