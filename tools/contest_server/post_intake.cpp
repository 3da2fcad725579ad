#include "post_intake.h"

#include "breakdown.h"
#include "post_reader.h"
#include "server_limits.h"
#include "station_keys.h"

namespace {

PostReply Reply(int status, std::string text) { return {status, std::move(text) + "\n"}; }

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Empty when the timestamp is one the contest can have.
std::string TimestampFault(const ScorePost& post, const ContestConfig& config, UtcSeconds now) {
    const UtcSeconds slack = limits::kTimestampSlackSeconds;
    const std::string given = "timestamp " + FormatUtc(post.timestamp);
    if (post.timestamp > now + slack) return given + " is ahead of this server's clock (" + FormatUtc(now) + " UTC)";
    if (config.start && (post.timestamp < *config.start - slack || post.timestamp > *config.end + slack))
        return given + " is outside the contest (" + FormatUtc(*config.start) + " to " + FormatUtc(*config.end) +
               " UTC, give or take " + std::to_string(slack / 60) + " minutes)";
    return {};
}

}  // namespace

bool PostIntake::WithinRate(const std::string& call, UtcSeconds now) {
    if (config_.postsPerMinute == 0) return true;
    std::lock_guard lock(rateLock_);
    std::deque<UtcSeconds>& times = recent_[call];
    while (!times.empty() && times.front() <= now - 60) times.pop_front();
    if (times.size() >= static_cast<std::size_t>(config_.postsPerMinute)) return false;
    times.push_back(now);
    return true;
}

PostReply PostIntake::Take(const PostRequest& request, UtcSeconds now) {
    if (request.key.empty())
        return Reply(401, "no key: send the station's key as the HTTP password (the call as the user), or as key=");
    std::optional<std::string> keyCall;
    try {
        keyCall = store_.CallOfKey(KeyHash(request.key));
    } catch (const StoreError& e) {
        return Reply(503, std::string("the store cannot be read (") + e.what() + "); send the post again");
    }
    if (!keyCall) return Reply(401, "the key is not known here: ask the contest's sponsor for yours");
    if (!request.user.empty() && Upper(request.user) != *keyCall)
        return Reply(401, "the key is not " + Upper(request.user) + "'s");

    ScorePost post;
    try {
        post = ReadScorePost(request.document);
    } catch (const PostRefused& e) {
        return Reply(e.status, e.what());
    }
    if (post.call != *keyCall) return Reply(403, "the key is " + *keyCall + "'s, the post is for " + post.call);
    if (!config_.Takes(post.contest))
        return Reply(422, "unknown contest \"" + post.contest + "\": this server takes " + config_.Name());
    if (const std::string fault = TimestampFault(post, config_, now); !fault.empty()) return Reply(422, fault);
    if (!WithinRate(post.call, now))
        return Reply(429, "too many posts from " + post.call + ": at most " + std::to_string(config_.postsPerMinute) +
                              " a minute");

    const PostFigures figures = FiguresOf(post);
    PostRecord record;
    record.call = post.call;
    record.received = now;
    record.timestamp = post.timestamp;
    record.score = post.score;
    record.qsos = figures.qsos;
    record.points = figures.points;
    record.mults = figures.mults;
    record.category = post.category;
    record.flag = BreakdownFault(post, config_.pointsTimesMults);
    record.xml = request.document;
    try {
        store_.AddPost(record);
    } catch (const StoreError& e) {
        return Reply(503, std::string("not stored: the store failed (") + e.what() + "); send the post again");
    }
    const std::string what = post.call + " " + std::to_string(post.score) + " at " + FormatUtc(post.timestamp);
    if (!record.flag.empty()) return Reply(422, "stored, but flagged: " + record.flag + " (" + what + ")");
    return Reply(200, "stored: " + what);
}
