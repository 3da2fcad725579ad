#include "contest/header.h"

#include "base/env.h"
#include "base/settings.h"

namespace {

constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

using Field = std::string CabrilloHeaderFields::*;

// The header fields kept in the settings, in the order they are written back.
// `plain`: read back as stored; the others are read their own way, or not at all.
struct HeaderSetting {
    const char* key;
    Field field;
    bool plain;
};
constexpr HeaderSetting kHeaderSettings[] = {
    {setting::kOperators, &CabrilloHeaderFields::operators, false},
    {setting::kName, &CabrilloHeaderFields::name, true},
    {setting::kAddress, &CabrilloHeaderFields::address, true},
    {setting::kAddressCity, &CabrilloHeaderFields::addressCity, true},
    {setting::kAddressState, &CabrilloHeaderFields::addressStateProvince, true},
    {setting::kAddressPostalCode, &CabrilloHeaderFields::addressPostalCode, true},
    {setting::kAddressCountry, &CabrilloHeaderFields::addressCountry, true},
    {setting::kContest, &CabrilloHeaderFields::contest, false},
    {setting::kEmail, &CabrilloHeaderFields::email, true},
    {setting::kClub, &CabrilloHeaderFields::club, true},
    {setting::kLocation, &CabrilloHeaderFields::arrlSection, false},
    {setting::kSoapBox, &CabrilloHeaderFields::soapbox, false},
    {setting::kOverlay, &CabrilloHeaderFields::categoryOverlay, true},
};

}  // namespace

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty() || from == to) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find(from, pos)) != std::string_view::npos; pos = hit + from.size()) {
        out.append(text, pos, hit - pos);
        out.append(to);
    }
    out.append(text, pos);
    return out;
}

std::string CabrilloFileStem(std::string_view myCall) {
    std::string stem = replaceAll(replaceAll(myCall, "/", "_"), "\\", "_");
    const std::size_t first = stem.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos) return "ZAKO";
    return stem.substr(first, stem.find_last_not_of(kWhiteSpace) - first + 1);
}

std::string DecodeSoapbox(std::string_view stored) { return replaceAll(replaceAll(stored, "<CR>", "\r"), "<LF>", "\n"); }

std::string EncodeSoapbox(std::string_view typed) { return replaceAll(replaceAll(typed, "\r", "<CR>"), "\n", "<LF>"); }

std::string TagLines(std::string_view stored, std::string_view tag) {
    return replaceAll(replaceAll(stored, "<CR>", "\r\n" + std::string(tag)), "<LF>", "");
}

void SetDefaultCategories(CabrilloHeaderFields& h) {
    h.contest = "VERDA-WW-DX ";
    h.categoryOperator = "SINGLE-OP";
    h.categoryBand = "ALL";
    h.categoryMode = "RTTY";
    h.categoryPower = "HIGH";
    h.categoryTransmitter = "ONE";
    h.categoryStation = "FIXED";
    h.categoryAssisted = "NON-ASSISTED";
    h.arrlSection = "DX";
}

bool prepareCabrilloHeader(ContestState& state, Env& env, std::string_view myCall) {
    CabrilloExport& h = state.cabrillo;
    h.callsign = myCall;
    h.fileStem = CabrilloFileStem(myCall);

    // Only a missing key falls back to the callsign: an emptied one stays empty.
    h.operators = env.ReadSettingIfPresent(setting::kOperators).value_or(std::string(myCall));
    for (const HeaderSetting& s : kHeaderSettings)
        if (s.plain) h.*s.field = env.ReadSetting(s.key);
    h.claimed = env.ReadSetting(setting::kClaimed);
    h.soapbox = DecodeSoapbox(env.ReadSetting(setting::kSoapBox));

    SetDefaultCategories(h);

    CabrilloHeaderFields edited = h;
    if (!env.RunCabrilloDialog(edited)) {
        state.makeCabrillo = 0;
        return false;
    }
    edited.claimed = h.claimed;  // the score comes from the log, not from the operator
    static_cast<CabrilloHeaderFields&>(h) = std::move(edited);

    h.soapbox = EncodeSoapbox(h.soapbox);
    for (const HeaderSetting& s : kHeaderSettings) env.WriteSetting(s.key, h.*s.field);

    h.soapbox = TagLines(h.soapbox, "SOAPBOX: ");
    h.address = TagLines(h.address, "ADDRESS: ");
    h.qsoLines.clear();
    return true;
}
