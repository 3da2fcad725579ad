// ADIF (.adi) reader: an optional header closed by <EOH>, then records of
// <NAME:LENGTH[:TYPE]>data fields closed by <EOR>. Names are case-insensitive,
// lengths count bytes, text outside tags is ignored.
#include <cctype>
#include <map>
#include <optional>

#include "log_file.h"

namespace {

struct Tag {
    std::string name;  // upper case
    std::string value;
    bool hasData = false;
};

class AdifScanner {
public:
    AdifScanner(std::string_view text, const std::string& name) : text_(text), name_(name) {}

    // The next tag, or nothing at the end of the text; junk before it is skipped.
    std::optional<Tag> Next() {
        const auto open = text_.find('<', pos_);
        if (open == std::string_view::npos) {
            pos_ = text_.size();
            return std::nullopt;
        }
        Advance(open);
        tagLine_ = line_;
        const auto close = text_.find('>', open);
        if (close == std::string_view::npos) Fail("a tag that is never closed by '>'");
        const std::string_view inside = text_.substr(open + 1, close - open - 1);
        Tag tag;
        const auto colon = inside.find(':');
        tag.name = ToUpper(Trim(inside.substr(0, colon)));
        if (tag.name.empty() || tag.name.find_first_of(" \t\r\n<") != std::string::npos)
            Fail("a malformed tag <" + std::string(inside.substr(0, 40)) + ">");
        if (colon != std::string_view::npos) {
            std::string_view length = inside.substr(colon + 1);
            length = length.substr(0, length.find(':'));  // drop the data type
            std::uint32_t n = 0;
            if (!ParseDecimal(length, 0, n) || length.find('.') != std::string_view::npos)
                Fail("the field " + tag.name + " has no valid length");
            if (n > text_.size() - close - 1)
                Fail("the field " + tag.name + " wants " + std::to_string(n) +
                     " characters but the file ends first (truncated?)");
            tag.value = std::string(text_.substr(close + 1, n));
            tag.hasData = true;
            Advance(close + 1 + n);
        } else {
            Advance(close + 1);
        }
        return tag;
    }

    // Line where the last tag began.
    int line() const { return tagLine_; }
    [[noreturn]] void Fail(const std::string& what) const {
        throw InputError(name_ + ": line " + std::to_string(tagLine_) + ": " + what);
    }

private:
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

// Every check names the record and the line where it starts.
class RecordReader {
public:
    RecordReader(const std::string& file, int record, int line) : file_(file), record_(record), line_(line) {}

    [[noreturn]] void Fail(const std::string& what) const {
        throw InputError(file_ + ": record " + std::to_string(record_) + " (line " + std::to_string(line_) +
                         "): " + what);
    }

    std::string Required(const Fields& f, const char* name) const {
        std::string v = Field(f, name);
        if (v.empty()) Fail(std::string("no ") + name);
        return v;
    }

    LogQso Read(const Fields& f) const {
        LogQso q;
        q.record = record_;
        q.line = line_;
        q.call = ToUpper(Required(f, "CALL"));
        q.time = Time(Required(f, "QSO_DATE"), Required(f, "TIME_ON"));
        q.band = Field(f, "BAND");
        for (auto& c : q.band) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (const std::string freq = Field(f, "FREQ"); !freq.empty() && !ParseDecimal(freq, 6, q.freqHz))
            Fail("FREQ \"" + freq + "\" is not a frequency in MHz");
        if (q.band.empty()) q.band = BandOfFrequency(q.freqHz);
        if (q.freqHz == 0) q.freqHz = BandEdgeHz(q.band);
        q.mode = ToUpper(Field(f, "MODE"));
        q.rstSent = Field(f, "RST_SENT");
        q.rstRcvd = Field(f, "RST_RCVD");
        q.exchSent = f.count("STX_STRING") ? Field(f, "STX_STRING") : Field(f, "STX");
        q.exchRcvd = f.count("SRX_STRING") ? Field(f, "SRX_STRING") : Field(f, "SRX");
        q.stationCall = ToUpper(f.count("STATION_CALLSIGN") ? Field(f, "STATION_CALLSIGN") : Field(f, "OPERATOR"));
        return q;
    }

private:
    DateTime Time(const std::string& date, const std::string& time) const {
        if (!IsDigits(date, 8)) Fail("QSO_DATE \"" + date + "\" is not a date YYYYMMDD");
        if (!IsDigits(time, 4) && !IsDigits(time, 6))
            Fail("TIME_ON \"" + time + "\" is not a time HHMM or HHMMSS");
        auto num = [](const std::string& s, std::size_t at, std::size_t n) { return std::stoi(s.substr(at, n)); };
        DateTime t;
        if (!MakeQsoTime(num(date, 0, 4), num(date, 4, 2), num(date, 6, 2), num(time, 0, 2), num(time, 2, 2),
                         time.size() == 6 ? num(time, 4, 2) : 0, t))
            Fail("QSO_DATE " + date + " TIME_ON " + time + " is no valid date and time");
        return t;
    }

    const std::string& file_;
    int record_, line_;
};

}  // namespace

LogFile ReadAdifLog(std::string_view text, const std::string& name) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    AdifScanner scan(text, name);
    // A file that does not start with '<' has a header, which ends at <EOH>.
    if (!text.empty() && text.front() != '<') {
        for (;;) {
            auto tag = scan.Next();
            if (!tag) throw InputError(name + ": no <EOH> ends the header (is this an ADIF file?)");
            if (tag->name == "EOH") break;
        }
    }
    LogFile log;
    Fields fields;
    int recordLine = 0;
    for (auto tag = scan.Next(); tag; tag = scan.Next()) {
        if (tag->name == "EOR") {
            if (fields.empty()) continue;
            const int record = static_cast<int>(log.qsos.size()) + 1;
            log.qsos.push_back(RecordReader(name, record, recordLine).Read(fields));
            if (log.stationCall.empty()) log.stationCall = log.qsos.back().stationCall;
            fields.clear();
            continue;
        }
        if (tag->name == "EOH") {
            // Many programs start the header with a tag; what came before is header.
            if (!log.qsos.empty()) scan.Fail("<EOH> after the first record");
            fields.clear();
            continue;
        }
        if (!tag->hasData) scan.Fail("the tag <" + tag->name + "> has no length");
        if (fields.empty()) recordLine = scan.line();
        fields[tag->name] = std::move(tag->value);
    }
    if (!fields.empty())
        throw InputError(name + ": record " + std::to_string(log.qsos.size() + 1) + " (line " +
                         std::to_string(recordLine) + ") is not closed by <EOR> (truncated?)");
    return log;
}
