// The store behind contest-server: station keys and every post taken, with the
// latest of each station; every log uploaded (its file is kept beside the store,
// the store holds where and what it is), late permits and the sponsor's keys. An interface, so that the store can be another
// database, and so that tests can make it fail.
//
// Implementations are safe for concurrent use from many threads. A method that
// cannot do its work throws StoreError and leaves the store as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "post_reader.h"
#include "utc_time.h"

class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the store keeps of one post: the document as it came, and what the
// scoreboard shows of it.
struct PostRecord {
    std::string call;
    UtcSeconds received = 0;   // by this server's clock
    UtcSeconds timestamp = 0;  // the post's own
    std::int64_t score = 0;
    std::optional<std::int64_t> qsos, points, mults;
    ScoreClass category;
    std::string flag;  // why its breakdown does not add up; empty when it does
    std::string xml;   // the body's document, byte for byte
};

// One upload of a station's log. The file's bytes are in the log folder under
// `file`, a name this server made.
struct LogRecord {
    std::int64_t id = 0;
    std::string call;
    UtcSeconds received = 0;
    std::string sha256;  // of the file, hex
    std::string file;
    std::int64_t bytes = 0;
    std::string category;  // the header's CATEGORY- values, as the results group them
    std::int64_t qsos = 0;
    std::int64_t claimed = 0;  // the score our rules gave it
    std::string tokenHash;     // KeyHash of its private link's token
    std::int64_t version = 0;  // 1 for a call's first upload, 2 for its second, ...
};

class ScoreStore {
public:
    ScoreStore() = default;
    ScoreStore(const ScoreStore&) = delete;
    ScoreStore& operator=(const ScoreStore&) = delete;
    virtual ~ScoreStore() = default;

    // A station's key, kept as its hash only; replaces the station's earlier key.
    virtual void SetKey(const std::string& call, const std::string& keyHash) = 0;
    // False when the station had no key.
    virtual bool RemoveKey(const std::string& call) = 0;
    virtual std::optional<std::string> CallOfKey(const std::string& keyHash) = 0;
    virtual std::vector<std::string> CallsWithKeys() = 0;

    // Keeps the post, and makes it its station's latest unless that one carries a
    // later timestamp. When it returns, the post survives a crash of the process.
    virtual void AddPost(const PostRecord& post) = 0;
    // The latest post of every station, without its document.
    virtual std::vector<PostRecord> LatestPosts() = 0;
    // One station's latest post with its document, and how many it made.
    virtual std::optional<PostRecord> LatestPost(const std::string& call) = 0;
    virtual std::int64_t PostCount(const std::string& call) = 0;

    // Keeps the upload (its file already durable) and returns it with its id and
    // version; the latest
    // upload of a call is the one checked. Survives a crash when it returns.
    virtual LogRecord AddLog(const LogRecord& log) = 0;
    // The latest upload of every call, by call.
    virtual std::vector<LogRecord> CurrentLogs() = 0;
    // Every upload, oldest first.
    virtual std::vector<LogRecord> AllLogs() = 0;
    virtual std::optional<LogRecord> LogOfToken(const std::string& tokenHash) = 0;
    virtual std::int64_t LogCount(const std::string& call) = 0;

    // A station let in after the deadline.
    virtual void SetLatePermit(const std::string& call) = 0;
    virtual bool RemoveLatePermit(const std::string& call) = 0;
    virtual bool HasLatePermit(const std::string& call) = 0;
    virtual std::vector<std::string> LatePermits() = 0;

    // The sponsor's keys, as hashes.
    virtual void AddSponsorKey(const std::string& keyHash) = 0;
    virtual bool IsSponsorKey(const std::string& keyHash) = 0;
};
