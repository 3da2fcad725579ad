#include "log_intake.h"

#include <unistd.h>

#include "server_limits.h"
#include "station_keys.h"

std::string PrivateLink(const std::string& token) { return "/log/" + token; }

namespace {

LogReply Refused(int status, std::string why) { return {status, std::move(why), std::nullopt}; }

}  // namespace

LogReply LogIntake::Take(std::string_view bytes, UtcSeconds now) {
    if (bytes.size() > limits::kMaxLogBytes)
        return Refused(413, "a log is at most " + std::to_string(limits::kMaxLogBytes / (1024 * 1024)) + " MB; nothing was kept");
    if (bytes.empty()) return Refused(400, "no log came: send the file as the form's field \"log\"");
    Receipt receipt;
    try {
        receipt = ReadReceipt(bytes, cty_, settings_);
    } catch (const LogRefused& e) {
        return Refused(e.status, std::string(e.what()) + "; nothing was kept");
    }
    if (config_.deadline && now > *config_.deadline && !store_.HasLatePermit(receipt.call))
        return Refused(403, "the deadline for logs, " + FormatUtc(*config_.deadline) +
                         " UTC, has passed: ask the contest's sponsor to let " + receipt.call +
                         " in late; nothing was kept");

    const std::string token = MakeStationKey();
    LogRecord record;
    record.call = receipt.call;
    record.received = now;
    record.sha256 = receipt.sha256;
    record.bytes = receipt.bytes;
    record.category = receipt.category;
    record.qsos = receipt.qsos;
    record.claimed = receipt.claimed.score;
    record.tokenHash = KeyHash(token);
    try {
        record.file = vault_.Keep(bytes);
    } catch (const VaultError& e) {
        if (e.full()) return Refused(507, "the server's disk is full: your log was not kept; send it again later");
        return Refused(503, std::string("the log could not be kept (") + e.what() + "); send it again later");
    }
    try {
        record = store_.AddLog(record);
    } catch (const StoreError& e) {
        // Not acknowledged, so not kept: no file without its record.
        ::unlink((vault_.folder() + "/" + record.file).c_str());
        if (std::string_view(e.what()).find("disk is full") != std::string_view::npos)  // SQLite's SQLITE_FULL
            return Refused(507, "the server's disk is full: your log was not kept; send it again later");
        return Refused(503, std::string("the log could not be recorded (") + e.what() + "); send it again later");
    }
    receipt.received = now;
    receipt.version = record.version;
    receipt.link = PrivateLink(token);
    return {200, "", std::move(receipt)};
}

std::optional<LogIntake::Found> LogIntake::OfToken(std::string_view token) {
    if (token.size() != 32 || token.find_first_not_of("0123456789abcdef") != std::string_view::npos) return std::nullopt;
    std::optional<LogRecord> record = store_.LogOfToken(KeyHash(token));
    if (!record) return std::nullopt;
    const std::optional<std::string> bytes = vault_.Read(record->file);
    if (!bytes) throw StoreError("the file of " + record->call + "'s log " + record->file + " cannot be read");
    Found found{*record, ReadReceipt(*bytes, cty_, settings_)};
    found.receipt.received = record->received;
    found.receipt.version = record->version;
    found.receipt.link = PrivateLink(std::string(token));
    return found;
}
