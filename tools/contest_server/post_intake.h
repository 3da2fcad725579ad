// Taking one post: who sent it, whether the contest takes it, and storing it.
// What the HTTP layer hands over is already out of its encoding; what comes back
// is the status and the line the logger is told. Portable.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

#include "contest_config.h"
#include "score_store.h"
#include "utc_time.h"

struct PostRequest {
    std::string document;  // the XML
    std::string key;       // the station's key; empty when none came
    std::string user;      // the HTTP user name; empty when none came
};

struct PostReply {
    int status = 200;
    std::string text;  // one line, ending in a line feed
};

class PostIntake {
public:
    PostIntake(ScoreStore& store, const ContestConfig& config) : store_(store), config_(config) {}

    // 200 stored; 401 no key or an unknown one; 400 or 413 what ReadScorePost
    // refuses; 403 a post for another station than the key's; 422 an unknown
    // contest or a timestamp far outside the contest, and a post stored but
    // flagged because its breakdown does not add up; 429 over the station's rate;
    // 503 the store failed, nothing kept. Safe to call from many threads.
    PostReply Take(const PostRequest& request, UtcSeconds now);

private:
    // Counts the post against its station's rate; false when over it.
    bool WithinRate(const std::string& call, UtcSeconds now);

    ScoreStore& store_;
    const ContestConfig& config_;
    std::mutex rateLock_;
    std::unordered_map<std::string, std::deque<UtcSeconds>> recent_;  // per call, the last minute's posts
};
