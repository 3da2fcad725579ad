// Live score posts: the plug-in's claimed score sent to the contest's scoreboard
// while the operator works. Off unless the plug-in's settings name a scoreboard.
// This file holds the settings, what one post carries, what the operator sees of
// the posts, and the seam to the sender, which is a thread of the DLL's own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/cabrillo_export.h"
#include "contest/score_post.h"

class Env;

namespace setting {
// The scoreboard's address (http:// or https://); empty or missing: no posts.
inline constexpr const char* kLiveUrl = "LiveScoreUrl";
// The station's user (its call) and key at the scoreboard. The key is kept
// protected for the Windows user once the plug-in has read it.
inline constexpr const char* kLiveUser = "LiveScoreUser";
inline constexpr const char* kLivePassword = "LiveScorePassword";
// Minutes between posts after a change; at least 1, 2 when missing.
inline constexpr const char* kLiveMinutes = "LiveScoreMinutes";
}  // namespace setting

// A protected key in the settings starts with this; anything else is clear text.
inline constexpr std::string_view kProtectedPrefix = "protected:";

struct LiveScoreSettings {
    std::string url;  // empty: off
    std::string user;
    std::string password;
    std::int64_t intervalSeconds = 120;
    bool On() const { return !url.empty(); }
    bool operator==(const LiveScoreSettings&) const = default;
};

// Reads the settings. A key found in clear text is replaced in the settings by
// its protected form at once (Env::ProtectSecret); where it cannot be protected it
// stays as it is. A protected key that cannot be read back (another Windows user's)
// leaves the posts without one, and the scoreboard refuses them.
LiveScoreSettings ReadLiveScoreSettings(Env& env);

// What one post carries: a copy taken at a results call, in the host's code page.
struct LivePost {
    ClaimedFigures score;
    CabrilloHeaderFields header;
    std::string call;
};

// What the operator sees of the posts.
struct LiveScoreStatus {
    bool on = false;
    bool alone = false;            // the plug-in works without its engine: no thread to post from
    bool tried = false;            // a post has been tried
    bool accepted = false;         // the last one was taken
    std::int64_t triedAt = 0;      // UTC, seconds since 1970
    std::int64_t acceptedAt = 0;   // the last post taken, 0 for none
    std::string problem;           // why the last one was not taken
};

// The line the results report ends with while posts are on, as text or HTML;
// empty while they are off.
std::string LiveStatusLine(const LiveScoreStatus& status, bool html);

// The sender. Called on the host's thread; never waits for the network.
class LiveScoreSender {
public:
    virtual ~LiveScoreSender() = default;
    // The settings of a new pass.
    virtual void Configure(const LiveScoreSettings& settings) = 0;
    // The newest claimed score; posted when due.
    virtual void Offer(const LivePost& post) = 0;
    virtual LiveScoreStatus Status() = 0;
};
