// Taking one uploaded log: read it, refuse it with its reason, or keep its file
// and its record and hand back its receipt. Safe to call from many threads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "contest_config.h"
#include "log_receipt.h"
#include "log_vault.h"
#include "score_store.h"

class CountryFile;

struct LogReply {
    int status = 200;
    std::string text;                // why, when refused: one line
    std::optional<Receipt> receipt;  // when kept
};

class LogIntake {
public:
    LogIntake(ScoreStore& store, const LogVault& vault, const ContestConfig& config, const CountryFile& cty)
        : store_(store), vault_(vault), config_(config), cty_(cty), settings_(SettingsOf(config)) {}

    // 200 kept; 400 no file; 403 past the deadline; 413 too large; 422 not a log
    // or no possible call; 503 the store or the disk failed, 507 the disk is full:
    // nothing kept.
    LogReply Take(std::string_view bytes, UtcSeconds now);

    // An upload by its private link's token, with its receipt as read again from
    // its file; empty for a token no upload has.
    struct Found {
        LogRecord record;
        Receipt receipt;
    };
    std::optional<Found> OfToken(std::string_view token);

    const CheckSettings& settings() const { return settings_; }

private:
    ScoreStore& store_;
    const LogVault& vault_;
    const ContestConfig& config_;
    const CountryFile& cty_;
    const CheckSettings settings_;
};

// "/log/TOKEN", the private page of an upload.
std::string PrivateLink(const std::string& token);
