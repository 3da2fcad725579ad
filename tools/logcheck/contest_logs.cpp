#include "contest_logs.h"

#include <cmath>

#include "logs/input_error.h"
#include "logs/text.h"
#include "logs/log_file.h"

std::uint32_t Names::Id(std::string_view text) {
    if (const auto it = ids_.find(std::string(text)); it != ids_.end()) return it->second;
    const auto id = static_cast<std::uint32_t>(texts_.size());
    texts_.emplace_back(text);
    ids_.emplace(texts_.back(), id);
    return id;
}

std::uint32_t Names::Find(std::string_view text) const {
    const auto it = ids_.find(std::string(text));
    return it == ids_.end() ? npos : it->second;
}

std::string StationLog::Tag(std::string_view tag) const {
    for (const auto& [name, value] : header)
        if (name == tag) return value;
    return {};
}

std::string_view StationLog::Line(const CheckQso& q) const {
    std::string_view rest = std::string_view(text).substr(std::min<std::size_t>(q.lineAt, text.size()));
    rest = rest.substr(0, rest.find('\n'));
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == ' ')) rest.remove_suffix(1);
    return rest;
}

std::int32_t MinuteOf(const DateTime& t) { return static_cast<std::int32_t>(std::llround(t.value * 1440.0)); }

ReadLog ReadStation(std::string file, std::string text, const ReadOptions& options) {
    ReadLog r;
    r.file = std::move(file);
    r.text = std::move(text);
    if (std::string decoded; DecodeUtf16(r.text, decoded)) r.text = std::move(decoded);
    try {
        r.read = ReadLogFile(r.text, r.file, options);
    } catch (const InputError& e) {
        r.error = e.what();
        return r;
    }
    // Where each line starts, and the header's tags.
    r.lineStarts.push_back(0);
    for (std::size_t i = 0; i < r.text.size(); ++i)
        if (r.text[i] == '\n') r.lineStarts.push_back(static_cast<std::uint32_t>(i + 1));
    for (const std::uint32_t start : r.lineStarts) {
        std::string_view line = std::string_view(r.text).substr(start);
        line = line.substr(0, line.find('\n'));
        if (line.size() >= 4 && (line.substr(0, 4) == "QSO:" || line.substr(0, 4) == "qso:")) continue;
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string tag = ToUpper(Trim(line.substr(0, colon)));
        if (tag == "QSO" || tag == "X-QSO") continue;
        if (tag == "END-OF-LOG") break;
        r.header.emplace_back(tag, Trim(line.substr(colon + 1)));
    }
    return r;
}

void AddLog(ContestLogs& logs, ReadLog r) {
    if (!r.error.empty()) {
        logs.refused.emplace_back(r.file, std::move(r.error));
        return;
    }
    StationLog log;
    log.file = std::move(r.file);
    log.text = std::move(r.text);
    log.header = std::move(r.header);
    LogFile& read = r.read;
    const auto& lineStarts = r.lineStarts;
    log.call = ToUpper(Trim(read.stationCall));
    if (log.call.empty()) {
        logs.refused.emplace_back(log.file, "no CALLSIGN: and no QSO names the station");
        return;
    }
    log.callId = logs.calls.Id(log.call);
    if (logs.LogOf(log.callId) >= 0) {
        logs.refused.emplace_back(log.file, "a second log of " + log.call + " (the first: " +
                                                logs.logs[static_cast<std::size_t>(logs.LogOf(log.callId))].file + ")");
        return;
    }
    log.skipped = std::move(read.skipped);
    log.qsos.reserve(read.qsos.size());
    for (auto& q : read.qsos) {
        CheckQso c;
        c.call = logs.calls.Id(q.call);
        c.time = q.time;
        c.minute = MinuteOf(q.time);
        c.line = static_cast<std::uint32_t>(q.line);
        c.lineAt = q.line >= 1 && static_cast<std::size_t>(q.line) <= lineStarts.size() ? lineStarts[q.line - 1] : 0;
        c.band = static_cast<std::uint16_t>(logs.bands.Id(q.band));
        c.mode = static_cast<std::uint16_t>(logs.modes.Id(q.mode));
        c.rstSent = std::move(q.rstSent);
        c.rstRcvd = std::move(q.rstRcvd);
        c.sent = std::move(q.exchSent);
        c.rcvd = std::move(q.exchRcvd);
        log.qsos.push_back(std::move(c));
    }
    if (logs.logOfCall.size() < logs.calls.size()) logs.logOfCall.resize(logs.calls.size(), -1);
    logs.logOfCall[log.callId] = static_cast<std::int32_t>(logs.logs.size());
    logs.logs.push_back(std::move(log));
}
