// ADIF (.adi) reader: an optional header closed by <EOH>, then records of
// <NAME:LENGTH[:TYPE]>data fields closed by <EOR>. Names are case-insensitive,
// lengths count bytes, text outside tags and tags without a length
// (<APP_LoTW_EOF>, <EOF>) are ignored. A record that cannot be scored is skipped,
// and so is one whose length overruns its value; only a file whose fields cannot
// be told apart is refused.
#include "logs/adif_reader.h"

#include <algorithm>
#include <map>
#include <optional>

#include "logs/input_error.h"
#include "logs/text.h"
#include "logs/bands.h"
#include "logs/dates.h"

namespace {

struct Tag {
    std::string name;  // upper case
    std::string value;
    bool hasData = false;
    std::string broken;  // why the value cannot be measured; its record is skipped
};

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Where a tag such as <CALL:4> or <EOR> starting at `open` ends (the index past
// its '>'), or npos when no tag starts there.
std::size_t TagEnd(std::string_view text, std::size_t open) {
    std::size_t i = open + 1;
    const std::size_t nameStart = i;
    while (i < text.size() && IsNameChar(text[i])) ++i;
    if (i == nameStart) return std::string_view::npos;
    for (int part = 0; part < 2 && i < text.size() && text[i] == ':'; ++part) {
        const std::size_t from = ++i;
        while (i < text.size() && IsNameChar(text[i])) ++i;
        if (i == from) return std::string_view::npos;
    }
    return i < text.size() && text[i] == '>' ? i + 1 : std::string_view::npos;
}

class AdifScanner {
public:
    AdifScanner(std::string_view text, const std::string& name) : text_(text), name_(name) {}

    // The next tag, or nothing at the end of the text; junk before it is skipped.
    std::optional<Tag> Next() {
        for (;;) {
            const auto open = text_.find('<', pos_);
            if (open == std::string_view::npos) {
                pos_ = text_.size();
                return std::nullopt;
            }
            Advance(open);
            tagLine_ = line_;
            const auto close = text_.find('>', open);
            if (close == std::string_view::npos) {
                // A tag cut off by the end of the file, or a '<' in free text.
                const auto rest = text_.substr(open + 1);
                if (std::all_of(rest.begin(), rest.end(), [](char c) { return IsNameChar(c) || c == ':' || c == ' '; }))
                    Fail("the file ends inside a tag (truncated?)");
                Advance(open + 1);
                continue;
            }
            const std::string_view inside = text_.substr(open + 1, close - open - 1);
            Tag tag;
            const auto colon = inside.find(':');
            tag.name = ToUpper(Trim(inside.substr(0, colon)));
            if (tag.name.empty() || tag.name.find_first_of(" \t\r\n<") != std::string::npos) {
                Advance(open + 1);  // a '<' in free text, not a tag
                continue;
            }
            if (colon == std::string_view::npos) {
                Advance(close + 1);
                return tag;
            }
            std::string_view length = inside.substr(colon + 1);
            length = length.substr(0, length.find(':'));  // drop the data type
            std::uint64_t n = 0;
            if (!ParseDecimal(length, 0, n) || length.find('.') != std::string_view::npos)
                Fail("the field " + Printable(tag.name) + " has no valid length");
            const std::size_t data = close + 1;
            if (n > text_.size() - data)
                Fail("the field " + tag.name + " wants " + std::to_string(n) +
                     " characters but the file ends first (truncated?)");
            tag.hasData = true;
            std::size_t span = static_cast<std::size_t>(n);
            if (RunsIntoNextTag(data, span)) {
                // Measured on CR LF, and the file's line ends are now bare LF.
                const auto asCrLf = SpanWithLfAsCrLf(data, span);
                if (!asCrLf || RunsIntoNextTag(data, *asCrLf)) {
                    tag.broken = "the field " + tag.name + " runs into the next tag: its length counts more "
                                 "characters than it holds (were the line ends changed, CR LF to LF?)";
                    Advance(data);  // the scan goes on at the next tag
                    return tag;
                }
                span = *asCrLf;
            }
            tag.value = std::string(text_.substr(data, span));
            Advance(data + span);
            return tag;
        }
    }

    // Line where the last tag began.
    int line() const { return tagLine_; }
    bool AtEnd() const { return pos_ >= text_.size(); }
    [[noreturn]] void Fail(const std::string& what) const {
        throw InputError(name_ + ": line " + std::to_string(tagLine_) + ": " + what);
    }

private:
    // A value that swallows the start of a tag behind it, or a tag and a line end,
    // was measured on other line ends than the file now has.
    bool RunsIntoNextTag(std::size_t data, std::size_t n) const {
        const std::string_view value = text_.substr(data, n);
        const bool lines = value.find('\n') != std::string_view::npos;
        for (auto at = value.find('<'); at != std::string_view::npos; at = value.find('<', at + 1)) {
            const std::size_t end = TagEnd(text_, data + at);
            if (end == std::string_view::npos) continue;
            if (end > data + n) return true;
            const std::string_view tag = text_.substr(data + at, end - data - at);
            if (lines && (tag.find(':') != std::string_view::npos || ToUpper(tag) == "<EOR>")) return true;
        }
        return false;
    }

    // How many bytes from `data` hold `n` characters when each bare LF stands for
    // the CR LF it was; nothing when no bare LF is among them or the count ends
    // inside one.
    std::optional<std::size_t> SpanWithLfAsCrLf(std::size_t data, std::size_t n) const {
        std::size_t counted = 0, i = data;
        bool bare = false;
        for (; counted < n && i < text_.size(); ++i) {
            const bool lf = text_[i] == '\n' && (i == data || text_[i - 1] != '\r');
            bare = bare || lf;
            counted += lf ? 2 : 1;
        }
        if (!bare || counted != n) return std::nullopt;
        return i - data;
    }

    void Advance(std::size_t to) {
        for (; pos_ < to; ++pos_)
            if (text_[pos_] == '\n') ++line_;
    }

    std::string_view text_;
    const std::string& name_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int tagLine_ = 1;
};

using Fields = std::map<std::string, std::string>;

std::string Field(const Fields& f, const char* name) {
    auto it = f.find(name);
    return it == f.end() ? std::string() : Trim(it->second);
}

// Reads one record, or says why it cannot be scored.
class RecordReader {
public:
    explicit RecordReader(const Fields& f) : f_(f) {}

    std::optional<LogQso> Read() {
        LogQso q;
        q.call = ToUpper(Required("CALL"));
        if (!why_.empty()) return std::nullopt;
        if (HasControlByte(q.call)) return Skip("CALL \"" + Printable(q.call) + "\" holds a control byte");
        const std::string date = Required("QSO_DATE"), time = Required("TIME_ON");
        if (!why_.empty() || !Time(date, time, q.time)) return std::nullopt;
        q.band = ToLower(Field(f_, "BAND"));
        if (!q.band.empty() && BandEdgeHz(q.band) == 0) return Skip("BAND \"" + Printable(q.band) + "\" is no band");
        if (const std::string freq = Field(f_, "FREQ"); !freq.empty()) {
            if (!ParseDecimal(freq, 6, q.freqHz)) return Skip("FREQ \"" + Printable(freq) + "\" is not a frequency in MHz");
            if (q.freqHz > TopOfBandsHz()) return Skip("FREQ " + freq + " MHz is above the highest band");
        }
        if (q.band.empty()) q.band = BandOfFrequency(q.freqHz);
        if (q.freqHz == 0) q.freqHz = BandEdgeHz(q.band);
        q.mode = ToUpper(Field(f_, "MODE"));
        q.rstSent = Field(f_, "RST_SENT");
        q.rstRcvd = Field(f_, "RST_RCVD");
        q.exchSent = f_.count("STX_STRING") ? Field(f_, "STX_STRING") : Field(f_, "STX");
        q.exchRcvd = f_.count("SRX_STRING") ? Field(f_, "SRX_STRING") : Field(f_, "SRX");
        q.stationCall =
            ToUpper(f_.count("STATION_CALLSIGN") ? Field(f_, "STATION_CALLSIGN") : Field(f_, "OPERATOR"));
        return q;
    }

    const std::string& why() const { return why_; }

private:
    std::nullopt_t Skip(std::string why) {
        if (why_.empty()) why_ = std::move(why);
        return std::nullopt;
    }

    std::string Required(const char* name) {
        std::string v = Field(f_, name);
        if (v.empty()) Skip(std::string("no ") + name);
        return v;
    }

    bool Time(const std::string& date, const std::string& time, DateTime& out) {
        if (!IsDigits(date, 8)) return Skip("QSO_DATE \"" + Printable(date) + "\" is not a date YYYYMMDD"), false;
        if (!IsDigits(time, 4) && !IsDigits(time, 6))
            return Skip("TIME_ON \"" + Printable(time) + "\" is not a time HHMM or HHMMSS"), false;
        auto num = [](const std::string& s, std::size_t at, std::size_t n) { return std::stoi(s.substr(at, n)); };
        if (!MakeQsoTime(num(date, 0, 4), num(date, 4, 2), num(date, 6, 2), num(time, 0, 2), num(time, 2, 2),
                         time.size() == 6 ? num(time, 4, 2) : 0, out))
            return Skip("QSO_DATE " + date + " TIME_ON " + time + " is no valid date and time"), false;
        return true;
    }

    const Fields& f_;
    std::string why_;
};

}  // namespace

LogFile ReadAdifLog(std::string_view text, const std::string& name) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    // A file whose first text is not a tag has a header, which ends at <EOH>.
    // Without one, the text before the first tag is only a preamble, as LoTW's
    // download without QSOs has it; a text without any field is no ADIF.
    std::optional<AdifScanner> scan;
    scan.emplace(text, name);
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && text[first] != '<') {
        bool fields = false, records = false;
        for (auto tag = scan->Next(); tag && tag->name != "EOH"; tag = scan->Next()) {
            fields = fields || tag->hasData;
            records = records || tag->name == "EOR";
        }
        if (scan->AtEnd()) {
            if (!fields)
                throw InputError(name + ": not an ADIF or Cabrillo file (no ADIF field, no START-OF-LOG: begins a "
                                        "Cabrillo log)");
            if (!records) return {};
            scan.emplace(text, name);
        }
    }
    LogFile log;
    Fields fields;
    std::string broken;  // the first unmeasurable field of the record
    int records = 0, recordLine = 0;
    auto finish = [&] {
        ++records;
        RecordReader reader(fields);
        if (!broken.empty()) {
            log.skipped.push_back({records, recordLine, broken});
        } else if (auto q = reader.Read()) {
            q->record = records;
            q->line = recordLine;
            if (log.stationCall.empty()) log.stationCall = q->stationCall;
            log.qsos.push_back(std::move(*q));
        } else {
            log.skipped.push_back({records, recordLine, reader.why()});
        }
        fields.clear();
        broken.clear();
    };
    for (auto tag = scan->Next(); tag; tag = scan->Next()) {
        if (tag->name == "EOR") {
            if (!fields.empty()) finish();
            continue;
        }
        if (tag->name == "EOH") {
            // Many programs start the header with a tag; what came before is header.
            if (records == 0) {
                fields.clear();
                broken.clear();
            }
            continue;
        }
        if (!tag->hasData) continue;  // <APP_LoTW_EOF>, <EOF>: markers, not fields
        if (fields.empty()) recordLine = scan->line();
        if (!tag->broken.empty() && broken.empty()) broken = tag->broken;
        fields[tag->name] = std::move(tag->value);
    }
    if (!fields.empty()) {
        ++records;
        log.skipped.push_back({records, recordLine, "not closed by <EOR> (the file may be truncated)"});
    }
    return log;
}
