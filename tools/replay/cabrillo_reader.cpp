// Cabrillo 3.0 QSO lines as input: "QSO: freq mo date time call rst exch call rst exch [t]".
// Header lines other than CALLSIGN are skipped.
#include <sstream>

#include "log_file.h"

namespace {

std::string HostMode(const std::string& cabrilloMode) {
    if (cabrilloMode == "RY") return "RTTY";
    if (cabrilloMode == "PH") return "SSB";
    if (cabrilloMode == "DG") return "DIGI";
    return cabrilloMode;  // CW, FM
}

}  // namespace

LogFile ReadCabrilloLog(std::string_view text, const std::string& name) {
    LogFile log;
    std::istringstream in{std::string(text)};
    std::string raw;
    for (int line = 1; std::getline(in, raw); ++line) {
        const std::string upper = ToUpper(Trim(raw));
        auto fail = [&](const std::string& what) {
            throw InputError(name + ": line " + std::to_string(line) + ": " + what);
        };
        if (upper.rfind("END-OF-LOG:", 0) == 0) break;
        if (upper.rfind("CALLSIGN:", 0) == 0) {
            log.stationCall = Trim(upper.substr(9));
            continue;
        }
        if (upper.rfind("QSO:", 0) != 0) continue;

        std::istringstream words(upper.substr(4));
        std::vector<std::string> f;
        for (std::string w; words >> w;) f.push_back(w);
        if (f.size() != 10 && f.size() != 11)
            fail("a QSO line needs 10 fields (freq mode date time call rst exch call rst exch), found " +
                 std::to_string(f.size()));
        LogQso q;
        q.record = static_cast<int>(log.qsos.size()) + 1;
        q.line = line;
        if (!ParseDecimal(f[0], 3, q.freqHz)) fail("\"" + f[0] + "\" is not a frequency in kHz");
        q.band = BandOfFrequency(q.freqHz);
        q.mode = HostMode(f[1]);
        const std::string& d = f[2];
        if (d.size() != 10 || d[4] != '-' || d[7] != '-' || !IsDigits(d.substr(0, 4) + d.substr(5, 2) + d.substr(8), 8))
            fail("\"" + d + "\" is not a date YYYY-MM-DD");
        if (!IsDigits(f[3], 4)) fail("\"" + f[3] + "\" is not a time HHMM");
        if (!MakeQsoTime(std::stoi(d.substr(0, 4)), std::stoi(d.substr(5, 2)), std::stoi(d.substr(8, 2)),
                         std::stoi(f[3].substr(0, 2)), std::stoi(f[3].substr(2, 2)), 0, q.time))
            fail(d + " " + f[3] + " is no valid date and time");
        q.stationCall = f[4];
        q.rstSent = f[5];
        q.exchSent = f[6];
        q.call = f[7];
        q.rstRcvd = f[8];
        q.exchRcvd = f[9];
        log.qsos.push_back(std::move(q));
    }
    if (log.stationCall.empty() && !log.qsos.empty()) log.stationCall = log.qsos.front().stationCall;
    return log;
}
