#include "module/live_score.h"

#include <charconv>
#include <cstdio>

#include "base/env.h"
#include "base/html_text.h"

namespace {

std::int64_t Minutes(std::string_view text) {
    int minutes = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), minutes);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return 2;
    return minutes < 1 ? 1 : minutes;
}

std::string HourMinute(std::int64_t utc) {
    const std::int64_t day = ((utc % 86400) + 86400) % 86400;
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(day / 3600), static_cast<int>(day / 60 % 60));
    return text;
}

}  // namespace

LiveScoreSettings ReadLiveScoreSettings(Env& env) {
    LiveScoreSettings s;
    s.url = env.ReadSetting(setting::kLiveUrl);
    if (!s.On()) return s;
    s.user = env.ReadSetting(setting::kLiveUser);
    s.intervalSeconds = 60 * Minutes(env.ReadSetting(setting::kLiveMinutes));
    const std::string stored = env.ReadSetting(setting::kLivePassword);
    if (stored.rfind(kProtectedPrefix, 0) == 0) {
        s.password = env.UnprotectSecret(stored.substr(kProtectedPrefix.size())).value_or("");
    } else {
        s.password = stored;
        if (!stored.empty())
            if (auto sealed = env.ProtectSecret(stored))
                env.WriteSetting(setting::kLivePassword, std::string(kProtectedPrefix) + *sealed);
    }
    return s;
}

std::string LiveStatusLine(const LiveScoreStatus& status, bool html) {
    if (!status.on) return {};
    std::string line = "Live score: ";
    if (status.alone)
        line += "not sent: the plug-in works without VERDA-WW-DX\\StatsEngine.dll beside it";
    else if (!status.tried)
        line += "not sent yet";
    else if (status.accepted)
        line += "sent " + HourMinute(status.triedAt) + " UTC";
    else {
        line += "not taken at " + HourMinute(status.triedAt) + " UTC (" + status.problem + ")";
        line += status.acceptedAt ? "; last sent " + HourMinute(status.acceptedAt) + " UTC" : "; none sent yet";
    }
    return html ? "<p>" + HtmlText(line) + "</p>" : line + "\r\n";
}
