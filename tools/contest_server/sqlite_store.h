// ScoreStore in one SQLite file: WAL, one prepared statement per query, one
// transaction per post. Reads go on a connection of their own, so a scoreboard
// being built never waits for a post being written.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "score_store.h"

class SqliteConnection;

class SqliteStore final : public ScoreStore {
public:
    // Opens or makes the file and its tables. `vfs` names an SQLite VFS (tests
    // register one that fails on cue); null: SQLite's own. Throws StoreError.
    explicit SqliteStore(const std::string& path, const char* vfs = nullptr);
    ~SqliteStore() override;

    void SetKey(const std::string& call, const std::string& keyHash) override;
    bool RemoveKey(const std::string& call) override;
    std::optional<std::string> CallOfKey(const std::string& keyHash) override;
    std::vector<std::string> CallsWithKeys() override;
    void AddPost(const PostRecord& post) override;
    std::vector<PostRecord> LatestPosts() override;
    std::optional<PostRecord> LatestPost(const std::string& call) override;
    std::int64_t PostCount(const std::string& call) override;
    LogRecord AddLog(const LogRecord& log) override;
    std::vector<LogRecord> CurrentLogs() override;
    std::vector<LogRecord> AllLogs() override;
    std::optional<LogRecord> LogOfToken(const std::string& tokenHash) override;
    std::int64_t LogCount(const std::string& call) override;
    void SetLatePermit(const std::string& call) override;
    bool RemoveLatePermit(const std::string& call) override;
    bool HasLatePermit(const std::string& call) override;
    std::vector<std::string> LatePermits() override;
    void AddSponsorKey(const std::string& keyHash) override;
    bool IsSponsorKey(const std::string& keyHash) override;

private:
    std::mutex writeLock_;
    std::mutex readLock_;
    std::unique_ptr<SqliteConnection> writer_;  // used under writeLock_
    std::unique_ptr<SqliteConnection> reader_;  // used under readLock_
};
