#include "contest/writer.h"

#include <array>
#include <cctype>
#include <cstdio>


namespace {

// Names Windows will not give a file: either the open fails or, worse, it opens a
// device or a hidden stream and the log goes nowhere.
bool IsUsableFileName(std::string_view stem) {
    for (unsigned char c : stem)
        if (c < 32 || std::string_view("<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos) return false;
    static constexpr std::array<std::string_view, 22> kDevices = {
        "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
        "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    const std::string_view base = stem.substr(0, stem.find('.'));
    for (auto device : kDevices) {
        if (base.size() != device.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < base.size(); ++i)
            same = same && std::toupper(static_cast<unsigned char>(base[i])) == device[i];
        if (same) return false;
    }
    return true;
}

void AppendPadded(std::string& out, std::string_view value, std::size_t width) {
    out.append(value);
    if (value.size() < width) out.append(width - value.size(), ' ');
}

void AppendTag(std::string& out, std::string_view tag, std::string_view value) {
    out.append(tag);
    out.append(value);
    out.append("\r\n");
}

}  // namespace

void addCabrilloQsoLine(CabrilloExport& cabrillo, std::string_view call, int freqKHz, std::string_view mode,
                        const DateTime& time, std::string_view rstSent, std::string_view exchSent,
                        std::string_view rstRcvd, std::string_view exchRcvd) {
    if (mode != "RY") return;
    // "QSO: %5i %2s %s %-13s %-3s %-6s %-13s %-3s %s" built piecewise, so that
    // no value is ever cut.
    char freq[16];
    std::snprintf(freq, sizeof freq, "%5i", freqKHz);
    std::string line = "QSO: ";
    line += freq;
    line += ' ';
    if (mode.size() < 2) line.append(2 - mode.size(), ' ');
    line += mode;
    line += ' ';
    line += FormatTime(time, "%Y-%m-%d %H%M");
    line += ' ';
    AppendPadded(line, cabrillo.callsign, 13);
    line += ' ';
    AppendPadded(line, rstSent, 3);
    line += ' ';
    AppendPadded(line, exchSent, 6);
    line += ' ';
    AppendPadded(line, call, 13);
    line += ' ';
    AppendPadded(line, rstRcvd, 3);
    line += ' ';
    line += exchRcvd;
    line += "\r\n";
    cabrillo.qsoLines.push_back(std::move(line));
}

std::string CabrilloFileText(const CabrilloExport& c, std::int64_t claimedScore, std::string_view hostVersion) {
    std::string out = "START-OF-LOG: 3.0\r\n";
    AppendTag(out, "ARRL-SECTION: ", c.arrlSection);
    AppendTag(out, "CALLSIGN: ", c.callsign);
    AppendTag(out, "CATEGORY: ", c.categoryOperator);
    AppendTag(out, "CATEGORY-ASSISTED: ", c.categoryAssisted);
    AppendTag(out, "CATEGORY-BAND: ", c.categoryBand);
    AppendTag(out, "CATEGORY-MODE: ", c.categoryMode);
    AppendTag(out, "CATEGORY-POWER: ", c.categoryPower);
    if (c.categoryOperator == "MULTI-OP") AppendTag(out, "CATEGORY-TRANSMITTER: ", c.categoryTransmitter);
    AppendTag(out, "CATEGORY-OVERLAY: ", c.categoryOverlay);
    AppendTag(out, "CLAIMED-SCORE: ", std::to_string(claimedScore));
    AppendTag(out, "CLUB: ", c.club);
    AppendTag(out, "CONTEST: ", kCabrilloContestName);
    AppendTag(out, "OPERATORS: ", c.operators);
    AppendTag(out, "NAME: ", c.name);
    AppendTag(out, "ADDRESS: ", c.address);
    AppendTag(out, "ADDRESS-CITY: ", c.addressCity);
    AppendTag(out, "ADDRESS-POSTALCODE: ", c.addressPostalCode);
    AppendTag(out, "ADDRESS-COUNTRY: ", c.addressCountry);
    AppendTag(out, "CREATED-BY: Tevo ", hostVersion);
    AppendTag(out, "EMAIL: ", c.email);
    AppendTag(out, "SOAPBOX: ", c.soapbox);
    for (const auto& line : c.qsoLines) out += line;
    out += "END-OF-LOG:\r\n";
    return out;
}

std::string writeCabrilloFile(Files& files, const CabrilloExport& cabrillo, std::int64_t claimedScore,
                              std::string_view hostVersion) {
    const std::string name = cabrillo.fileStem + ".cbr";
    const std::string notWritten = "File not written: " + name;
    if (!IsUsableFileName(cabrillo.fileStem)) return notWritten;

    // An earlier log stays whole unless a complete new one replaces it.
    if (!files.ReplaceWhole(name, CabrilloFileText(cabrillo, claimedScore, hostVersion))) return notWritten;
    return "File produced: " + name;
}

std::string ExportCabrilloLog(ContestState& state, Files& files) {
    state.shared.lock.AssertWriterReads();
    CabrilloExport& cabrillo = state.cabrillo;
    cabrillo.qsoLines.clear();
    for (const CInfo& r : state.shared.log)
        addCabrilloQsoLine(cabrillo, r.call, r.freqKHz, "RY", r.time, r.rstSent, r.exchSent, r.rstRcvd, r.exchRcvd);
    return writeCabrilloFile(files, cabrillo, state.claimedScore, state.hostVersion);
}
