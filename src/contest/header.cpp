#include "contest/header.h"

#include "base/env.h"

namespace {

constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

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

bool prepareCabrilloHeader(ContestState& state, Env& env, std::string_view myCall) {
    CabrilloExport& h = state.cabrillo;
    h.callsign = myCall;
    h.fileStem = CabrilloFileStem(myCall);

    // Only a missing key falls back to the callsign: an emptied one stays empty.
    h.operators = env.ReadSettingIfPresent("Operators").value_or(std::string(myCall));
    h.name = env.ReadSetting("Name");
    h.address = env.ReadSetting("Address");
    h.addressCity = env.ReadSetting("Address-City");
    h.addressStateProvince = env.ReadSetting("Address-State");
    h.addressPostalCode = env.ReadSetting("Address-PostalCode");
    h.addressCountry = env.ReadSetting("Address-Country");
    h.claimed = env.ReadSetting("Claimed");
    h.categoryOverlay = env.ReadSetting("Overlay");

    // The categories are chosen afresh for every log.
    h.contest = "VERDA-WW-DX ";
    h.categoryOperator = "SINGLE-OP";
    h.categoryBand = "ALL";
    h.categoryMode = "RTTY";
    h.categoryPower = "HIGH";
    h.categoryTransmitter = "ONE";
    h.categoryStation = "FIXED";
    h.categoryAssisted = "NON-ASSISTED";
    h.arrlSection = "DX";

    h.email = env.ReadSetting("Email");
    h.club = env.ReadSetting("Club");
    h.soapbox = DecodeSoapbox(env.ReadSetting("SoapBox"));

    CabrilloHeaderFields edited = h;
    if (!env.RunCabrilloDialog(edited)) {
        state.makeCabrillo = 0;
        return false;
    }
    edited.claimed = h.claimed;  // the score comes from the log, not from the operator
    static_cast<CabrilloHeaderFields&>(h) = std::move(edited);

    h.soapbox = EncodeSoapbox(h.soapbox);
    env.WriteSetting("Operators", h.operators);
    env.WriteSetting("Name", h.name);
    env.WriteSetting("Address", h.address);
    env.WriteSetting("Address-City", h.addressCity);
    env.WriteSetting("Address-State", h.addressStateProvince);
    env.WriteSetting("Address-PostalCode", h.addressPostalCode);
    env.WriteSetting("Address-Country", h.addressCountry);
    env.WriteSetting("Contest", h.contest);
    env.WriteSetting("Email", h.email);
    env.WriteSetting("Club", h.club);
    env.WriteSetting("Location", h.arrlSection);
    env.WriteSetting("SoapBox", h.soapbox);
    env.WriteSetting("Overlay", h.categoryOverlay);

    h.soapbox = TagLines(h.soapbox, "SOAPBOX: ");
    h.address = TagLines(h.address, "ADDRESS: ");
    h.qsoLines.clear();
    return true;
}
