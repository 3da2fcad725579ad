// Cabrillo 3.0 QSO lines as input: "QSO: freq mo date time call exch... call exch... [t]",
// with one to four exchange fields a side, mostly as many on each. Header lines other than CALLSIGN are
// skipped. A line that cannot be split for certain is skipped with its reason.
#include "logs/cabrillo_reader.h"

#include <algorithm>
#include <optional>

#include "logs/text.h"
#include "logs/bands.h"
#include "logs/dates.h"

namespace {

std::string HostMode(const std::string& cabrilloMode) {
    if (cabrilloMode == "RY") return "RTTY";
    if (cabrilloMode == "PH") return "SSB";
    if (cabrilloMode == "DG") return "DIGI";
    return cabrilloMode;  // CW, FM
}

// The frequency column: kHz below 30 MHz, else a band designator ("50", "1.2G")
// or, as some programs write it, a band name ("2M").
bool ReadFrequency(const std::string& text, LogQso& q) {
    static constexpr std::pair<const char*, const char*> kDesignators[] = {
        {"50", "6m"},     {"70", "4m"},     {"144", "2m"},      {"222", "1.25m"}, {"432", "70cm"},
        {"902", "33cm"},  {"1.2G", "23cm"}, {"2.3G", "13cm"},   {"3.4G", "9cm"},  {"5.7G", "6cm"},
        {"10G", "3cm"},   {"24G", "1.25cm"}, {"47G", "6mm"},    {"75G", "4mm"},   {"122G", "2.5mm"},
        {"134G", "2mm"},  {"241G", "1mm"}};
    for (const auto& [designator, band] : kDesignators)
        if (text == designator) {
            q.band = band;
            q.freqHz = BandEdgeHz(band);
            return true;
        }
    if (const std::string band = ToLower(text); BandEdgeHz(band) != 0) {
        q.band = band;
        q.freqHz = BandEdgeHz(band);
        return true;
    }
    if (!ParseDecimal(text, 3, q.freqHz) || q.freqHz > TopOfBandsHz()) return false;
    q.band = BandOfFrequency(q.freqHz);
    return true;
}

bool IsCallLike(const std::string& w) {
    bool letter = false, digit = false;
    for (char c : w) {
        if (c >= 'A' && c <= 'Z') letter = true;
        else if (c >= '0' && c <= '9') digit = true;
        else if (c != '/') return false;
    }
    return letter && digit && w.size() >= 3;
}

struct Split {
    std::size_t received = 0;       // index of the received call
    std::size_t sentFields = 0;     // exchange fields of each side
    std::size_t receivedFields = 0;
};

// Words after the time: the sent call, its exchange, the received call, its
// exchange and maybe a transmitter id. Both sides of a contest exchange mostly
// have as many fields; a split that could be made two ways is not certain.
// Some archives log more received fields than sent ("599 0001" against
// "599 0029 NA"): such a split is certain when the received call is the only word
// that can be a call where it may stand, and each side still has a report and a
// number.
std::optional<Split> SplitWords(const std::vector<std::string>& w) {
    std::optional<Split> found;
    std::vector<std::size_t> callLike;
    for (std::size_t k = 2; k <= 5 && k < w.size(); ++k) {
        if (!IsCallLike(w[k])) continue;
        callLike.push_back(k);
        const std::size_t sent = k - 1, rest = w.size() - k - 1;
        const bool plain = rest == sent;
        const bool withId = rest == sent + 1 && (w.back() == "0" || w.back() == "1");
        if (!plain && !withId) continue;
        if (found) return std::nullopt;
        found = Split{k, sent, sent};
    }
    if (found || callLike.size() != 1) return found;
    const std::size_t k = callLike.front(), sent = k - 1, received = w.size() - k - 1;
    if (sent < 2 || received < 2 || received > 4) return std::nullopt;
    return Split{k, sent, received};
}

// The column template of most programs and of the plug-in's own file, relative
// to the end of the time: call 13, rst 3, exch 6, call 13, rst 3, exch. It tells
// an empty column from a missing one.
std::optional<std::vector<std::string>> SplitColumns(std::string line, std::size_t timeEnd) {
    static constexpr std::size_t kWidths[] = {13, 3, 6, 13, 3};
    line.resize(std::max(line.size(), timeEnd + 45), ' ');  // trailing blanks were trimmed
    std::vector<std::string> columns;
    std::size_t at = timeEnd;
    for (std::size_t width : kWidths) {
        if (line[at] != ' ') return std::nullopt;
        columns.push_back(line.substr(at + 1, width));
        at += width + 1;
    }
    if (line[at] != ' ') return std::nullopt;
    columns.push_back(line.substr(at + 1));
    for (auto& c : columns) {
        c = Trim(c);
        if (c.find(' ') != std::string::npos) return std::nullopt;
    }
    if (columns[0].empty() || columns[3].empty()) return std::nullopt;
    return columns;
}

class QsoLineReader {
public:
    QsoLineReader(const std::string& line, const ReadOptions& options) : line_(line), options_(options) {}

    std::optional<LogQso> Read() {
        std::vector<std::string> f;
        for (std::size_t at = 4; at < line_.size();) {
            const std::size_t end = std::min(line_.find_first_of(" \t\r\n\v\f", at), line_.size());
            if (end > at) f.emplace_back(line_, at, end - at);
            at = end + 1;
        }
        if (f.size() < 6) return Skip("a QSO line needs at least 6 fields (freq mode date time call call), found " +
                                      std::to_string(f.size()));
        LogQso q;
        if (!ReadFrequency(f[0], q)) return Skip("\"" + Printable(f[0]) + "\" is not a frequency in kHz or a band");
        q.mode = HostMode(f[1]);
        const std::string& d = f[2];
        if (d.size() != 10 || d[4] != '-' || d[7] != '-' || !IsDigits(d.substr(0, 4) + d.substr(5, 2) + d.substr(8), 8))
            return Skip("\"" + Printable(d) + "\" is not a date YYYY-MM-DD");
        if (!IsDigits(f[3], 4)) return Skip("\"" + Printable(f[3]) + "\" is not a time HHMM");
        if (!MakeQsoTime(std::stoi(d.substr(0, 4)), std::stoi(d.substr(5, 2)), std::stoi(d.substr(8, 2)),
                         std::stoi(f[3].substr(0, 2)), std::stoi(f[3].substr(2, 2)), 0, q.time))
            return Skip(d + " " + f[3] + " is no valid date and time");

        const std::size_t timeEnd = line_.find(f[3], line_.find(f[2]) + f[2].size()) + 4;
        std::vector<std::string> sent, received;
        if (auto columns = SplitColumns(line_, timeEnd)) {
            q.stationCall = (*columns)[0];
            sent = {(*columns)[1], (*columns)[2]};
            q.call = (*columns)[3];
            received = {(*columns)[4], (*columns)[5]};
        } else {
            const std::vector<std::string> rest(f.begin() + 4, f.end());
            const auto split = SplitWords(rest);
            if (!split) return Skip("its exchange cannot be split for certain (a blank field, or sent and received "
                                    "exchanges of different lengths)");
            q.stationCall = rest[0];
            sent.assign(rest.begin() + 1, rest.begin() + static_cast<long>(split->received));
            q.call = rest[split->received];
            received.assign(rest.begin() + static_cast<long>(split->received) + 1,
                            rest.begin() + static_cast<long>(split->received + 1 + split->receivedFields));
        }
        if (HasControlByte(q.call)) return Skip("the call \"" + Printable(q.call) + "\" holds a control byte");
        if (!Exchange(sent, q.rstSent, q.exchSent) || !Exchange(received, q.rstRcvd, q.exchRcvd))
            return Skip("it has no exchange field " + std::to_string(options_.exchangeField));
        return q;
    }

    const std::string& why() const { return why_; }

private:
    std::nullopt_t Skip(std::string why) {
        why_ = std::move(why);
        return std::nullopt;
    }

    // The report is the first of two or more fields; the number is the last one
    // or the one the operator picked.
    bool Exchange(const std::vector<std::string>& fields, std::string& rst, std::string& number) const {
        const std::size_t pick = options_.exchangeField > 0 ? static_cast<std::size_t>(options_.exchangeField)
                                                            : fields.size();
        if (pick > fields.size()) return false;
        rst = fields.size() >= 2 && pick != 1 ? fields.front() : std::string();
        number = fields[pick - 1];
        return true;
    }

    const std::string& line_;
    const ReadOptions& options_;
    std::string why_;
};

}  // namespace

LogFile ReadCabrilloLog(std::string_view text, const std::string& name, const ReadOptions& options) {
    (void)name;
    LogFile log;
    log.qsos.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
    int records = 0;
    std::size_t next = 0;
    for (int line = 1; next < text.size(); ++line) {
        const std::size_t end = std::min(text.find('\n', next), text.size());
        const std::string_view raw = text.substr(next, end - next);
        next = end + 1;
        const std::string upper = ToUpper(Trim(raw));
        if (upper.rfind("END-OF-LOG:", 0) == 0) break;
        if (upper.rfind("CALLSIGN:", 0) == 0) {
            log.stationCall = Trim(upper.substr(9));
            continue;
        }
        if (upper.rfind("QSO:", 0) != 0) continue;
        ++records;
        QsoLineReader reader(upper, options);
        if (auto q = reader.Read()) {
            q->record = records;
            q->line = line;
            log.qsos.push_back(std::move(*q));
        } else {
            log.skipped.push_back({records, line, reader.why()});
        }
    }
    if (log.stationCall.empty() && !log.qsos.empty()) log.stationCall = log.qsos.front().stationCall;
    return log;
}
