// One contest's logs as the checker holds them: each station's Cabrillo log,
// read by the log library, with calls, bands and modes as small numbers so that
// millions of QSOs match quickly. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "logs/log_records.h"

// Texts as numbers: one table for calls, one for bands, one for modes.
class Names {
public:
    std::uint32_t Id(std::string_view text);
    // The number of a text already seen, or npos.
    std::uint32_t Find(std::string_view text) const;
    const std::string& Text(std::uint32_t id) const { return texts_[id]; }
    std::size_t size() const { return texts_.size(); }
    static constexpr std::uint32_t npos = 0xFFFFFFFFu;

private:
    std::unordered_map<std::string, std::uint32_t> ids_;
    std::vector<std::string> texts_;
};

struct CheckQso {
    std::uint32_t call = 0;  // worked call, in Names calls
    std::int32_t minute = 0;  // as logged: whole minutes since 30 December 1899
    std::uint32_t line = 0;   // in the log's file
    std::uint32_t lineAt = 0; // where that line starts in the log's text
    std::uint16_t band = 0, mode = 0;
    DateTime time;
    std::string rstSent, rstRcvd, sent, rcvd;  // reports and the numbers
};

struct StationLog {
    std::string file;  // the name it was read by
    std::string call;  // CALLSIGN of its header, else the own call of its first QSO
    std::uint32_t callId = 0;
    std::vector<std::pair<std::string, std::string>> header;  // tags other than QSO, in file order
    std::string text;  // the whole file, for the lines the evidence quotes
    std::vector<CheckQso> qsos;  // in file order
    std::vector<SkippedRecord> skipped;

    // A header tag's value ("CATEGORY-OPERATOR"), empty when the log has none.
    std::string Tag(std::string_view tag) const;
    // The text of a line of the file, without its line end.
    std::string_view Line(const CheckQso& q) const;
};

struct ContestLogs {
    Names calls, bands, modes;
    std::vector<StationLog> logs;
    // Logs that could not be taken: the file and why.
    std::vector<std::pair<std::string, std::string>> refused;
    // The log of a call, or -1.
    std::int32_t LogOf(std::uint32_t call) const {
        return call < logOfCall.size() ? logOfCall[call] : -1;
    }
    std::vector<std::int32_t> logOfCall;  // by call id
};

// A log read but not yet taken: what can be done for many files at once.
struct ReadLog {
    std::string file, text;
    LogFile read;
    std::string error;  // why the file is no log; empty when it is one
    std::vector<std::pair<std::string, std::string>> header;
    std::vector<std::uint32_t> lineStarts;
};

// Reads one log (Cabrillo, or ADIF where a station sent that). Safe to call from
// several threads at once.
ReadLog ReadStation(std::string file, std::string text, const ReadOptions& options);
// Takes a log read into `logs`; a file that is no log, has no call, or is a
// second log of a call already taken, is refused with its reason.
void AddLog(ContestLogs& logs, ReadLog read);
inline void AddLog(ContestLogs& logs, std::string file, std::string text, const ReadOptions& options) {
    AddLog(logs, ReadStation(std::move(file), std::move(text), options));
}
// Minutes since 30 December 1899 of a time the readers made.
std::int32_t MinuteOf(const DateTime& t);
