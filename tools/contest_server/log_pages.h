// The pages of the logs: the upload form, a station's private page, and the
// sponsor's page. Plain HTML forms, so that they work with JavaScript off. Portable.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "contest_check.h"
#include "log_receipt.h"

std::string UploadHtml(const ContestConfig& config, UtcSeconds now);

// An upload's own page: its receipt, and the station's checking report once
// the sponsor has checked; `current` says whether a later upload replaced it.
std::string PrivateHtml(const Receipt& receipt, bool current, const std::optional<std::string>& report,
                        const std::string& contest);

// A refusal as a page, for a browser's form.
std::string RefusalHtml(int status, const std::string& why, const std::string& contest);

std::string SponsorHtml(const LogsOverview& overview, const std::vector<std::string>& latePermits,
                        const ContestConfig& config, bool published, const std::string& message);
