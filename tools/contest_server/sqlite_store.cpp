#include "sqlite_store.h"

#include <sqlite3.h>

#include <unordered_map>

#include "server_limits.h"

namespace {

// The tables, made on first open. user_version counts the changes of this
// schema; a later version adds to it and moves a file on from an older number.
constexpr int kSchemaVersion = 2;
constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS station_keys(
  call TEXT PRIMARY KEY,
  key_hash TEXT NOT NULL UNIQUE,
  made INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS posts(
  id INTEGER PRIMARY KEY,
  call TEXT NOT NULL,
  received INTEGER NOT NULL,
  timestamp INTEGER NOT NULL,
  score INTEGER NOT NULL,
  qsos INTEGER, points INTEGER, mults INTEGER,
  cat_ops TEXT NOT NULL, cat_mode TEXT NOT NULL, cat_power TEXT NOT NULL, cat_bands TEXT NOT NULL,
  cat_transmitter TEXT NOT NULL, cat_assisted TEXT NOT NULL, cat_overlay TEXT NOT NULL,
  flag TEXT NOT NULL,
  xml TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS posts_by_call ON posts(call);
CREATE TABLE IF NOT EXISTS latest(
  call TEXT PRIMARY KEY,
  post_id INTEGER NOT NULL REFERENCES posts(id),
  received INTEGER NOT NULL,
  timestamp INTEGER NOT NULL,
  score INTEGER NOT NULL,
  qsos INTEGER, points INTEGER, mults INTEGER,
  cat_ops TEXT NOT NULL, cat_mode TEXT NOT NULL, cat_power TEXT NOT NULL, cat_bands TEXT NOT NULL,
  cat_transmitter TEXT NOT NULL, cat_assisted TEXT NOT NULL, cat_overlay TEXT NOT NULL,
  flag TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS logs(
  id INTEGER PRIMARY KEY,
  call TEXT NOT NULL,
  received INTEGER NOT NULL,
  sha256 TEXT NOT NULL,
  file TEXT NOT NULL UNIQUE,
  bytes INTEGER NOT NULL,
  category TEXT NOT NULL,
  qsos INTEGER NOT NULL,
  claimed INTEGER NOT NULL,
  token_hash TEXT NOT NULL UNIQUE,
  version INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS logs_by_call ON logs(call, id);
CREATE TABLE IF NOT EXISTS late_permits(
  call TEXT PRIMARY KEY,
  made INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS sponsor_keys(
  key_hash TEXT PRIMARY KEY,
  made INTEGER NOT NULL);
)";

constexpr const char* kLogColumns = "id, call, received, sha256, file, bytes, category, qsos, claimed, token_hash, version";

// What the scoreboard shows of a post: in posts, and again in latest, so that the
// scoreboard reads one short row per station and never the documents.
constexpr const char* kShownColumns =
    "call, received, timestamp, score, qsos, points, mults, cat_ops, cat_mode, cat_power, cat_bands, "
    "cat_transmitter, cat_assisted, cat_overlay, flag";

}  // namespace

// One SQLite connection and its prepared statements. Not thread-safe: the store
// holds a lock around each use.
class SqliteConnection {
public:
    SqliteConnection(const std::string& path, const char* vfs) {
        const int opened = sqlite3_open_v2(path.c_str(), &db_,
                                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, vfs);
        if (opened != SQLITE_OK) {
            const std::string why = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(opened);
            sqlite3_close(db_);
            throw StoreError(path + ": " + why);
        }
        sqlite3_busy_timeout(db_, limits::kStoreBusyMilliseconds);
        sqlite3_extended_result_codes(db_, 1);
    }
    ~SqliteConnection() {
        for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
        sqlite3_close(db_);
    }
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    void Execute(const char* sql) {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string why = error ? error : sqlite3_errmsg(db_);
            sqlite3_free(error);
            throw StoreError(why);
        }
    }

    // A statement of this connection, prepared on first use, reset and unbound on
    // the way out of the scope that took it.
    class Statement {
    public:
        Statement(SqliteConnection& c, const std::string& sql) : c_(c), s_(c.Prepared(sql)) {}
        ~Statement() {
            sqlite3_reset(s_);
            sqlite3_clear_bindings(s_);
        }
        Statement(const Statement&) = delete;
        Statement& operator=(const Statement&) = delete;

        Statement& Bind(int i, const std::string& text) {
            Check(sqlite3_bind_text(s_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
            return *this;
        }
        Statement& Bind(int i, std::int64_t n) {
            Check(sqlite3_bind_int64(s_, i, n));
            return *this;
        }
        Statement& Bind(int i, const std::optional<std::int64_t>& n) {
            Check(n ? sqlite3_bind_int64(s_, i, *n) : sqlite3_bind_null(s_, i));
            return *this;
        }
        // True while there is a row.
        bool Step() {
            const int r = sqlite3_step(s_);
            if (r == SQLITE_ROW) return true;
            if (r == SQLITE_DONE) return false;
            throw StoreError(sqlite3_errmsg(c_.db_));
        }
        std::int64_t Int(int col) const { return sqlite3_column_int64(s_, col); }
        std::optional<std::int64_t> MaybeInt(int col) const {
            if (sqlite3_column_type(s_, col) == SQLITE_NULL) return std::nullopt;
            return Int(col);
        }
        std::string Text(int col) const {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s_, col));
            return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(s_, col))) : std::string();
        }

    private:
        void Check(int r) const {
            if (r != SQLITE_OK) throw StoreError(sqlite3_errmsg(c_.db_));
        }
        SqliteConnection& c_;
        sqlite3_stmt* s_;
    };

    // BEGIN IMMEDIATE ... COMMIT, rolled back when the body throws or the commit fails.
    template <class Body>
    void Transaction(Body&& body) {
        Execute("BEGIN IMMEDIATE");
        try {
            body();
            Execute("COMMIT");
        } catch (...) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);  // may find nothing to roll back
            throw;
        }
    }

private:
    sqlite3_stmt* Prepared(const std::string& sql) {
        auto found = statements_.find(sql);
        if (found != statements_.end()) return found->second;
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK)
            throw StoreError(sqlite3_errmsg(db_));
        statements_.emplace(sql, s);
        return s;
    }

    sqlite3* db_ = nullptr;
    std::unordered_map<std::string, sqlite3_stmt*> statements_;
};

namespace {

using Statement = SqliteConnection::Statement;

PostRecord RecordOf(const Statement& s) {
    PostRecord r;
    r.call = s.Text(0);
    r.received = s.Int(1);
    r.timestamp = s.Int(2);
    r.score = s.Int(3);
    r.qsos = s.MaybeInt(4);
    r.points = s.MaybeInt(5);
    r.mults = s.MaybeInt(6);
    r.category = {s.Text(7), s.Text(8), s.Text(9), s.Text(10), s.Text(11), s.Text(12), s.Text(13)};
    r.flag = s.Text(14);
    return r;
}

}  // namespace

SqliteStore::SqliteStore(const std::string& path, const char* vfs) {
    writer_ = std::make_unique<SqliteConnection>(path, vfs);
    // WAL: readers never block the writer. FULL: a post acknowledged is on disk,
    // not only with the operating system, so a power cut loses it neither.
    writer_->Execute("PRAGMA journal_mode=WAL");
    writer_->Execute("PRAGMA synchronous=FULL");
    writer_->Transaction([&] {
        Statement version(*writer_, "PRAGMA user_version");
        version.Step();
        if (version.Int(0) > kSchemaVersion)
            throw StoreError(path + " was made by a later contest-server (schema " + std::to_string(version.Int(0)) +
                             ")");
        writer_->Execute(kSchema);
        writer_->Execute(("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str());
    });
    reader_ = std::make_unique<SqliteConnection>(path, vfs);
}

SqliteStore::~SqliteStore() = default;

void SqliteStore::SetKey(const std::string& call, const std::string& keyHash) {
    std::lock_guard lock(writeLock_);
    writer_->Transaction([&] {
        Statement(*writer_, "INSERT INTO station_keys(call, key_hash, made) VALUES(?1, ?2, ?3) "
                            "ON CONFLICT(call) DO UPDATE SET key_hash = excluded.key_hash, made = excluded.made")
            .Bind(1, call)
            .Bind(2, keyHash)
            .Bind(3, UtcNow())
            .Step();
    });
}

bool SqliteStore::RemoveKey(const std::string& call) {
    std::lock_guard lock(writeLock_);
    bool removed = false;
    writer_->Transaction([&] {
        Statement remove(*writer_, "DELETE FROM station_keys WHERE call = ?1 RETURNING call");
        removed = remove.Bind(1, call).Step();
        while (remove.Step()) {
        }
    });
    return removed;
}

std::optional<std::string> SqliteStore::CallOfKey(const std::string& keyHash) {
    std::lock_guard lock(readLock_);
    Statement s(*reader_, "SELECT call FROM station_keys WHERE key_hash = ?1");
    if (!s.Bind(1, keyHash).Step()) return std::nullopt;
    return s.Text(0);
}

std::vector<std::string> SqliteStore::CallsWithKeys() {
    std::lock_guard lock(readLock_);
    Statement s(*reader_, "SELECT call FROM station_keys ORDER BY call");
    std::vector<std::string> calls;
    while (s.Step()) calls.push_back(s.Text(0));
    return calls;
}

namespace {

// Binds the shown columns as ?1 to ?15.
void BindShown(Statement& s, const PostRecord& p) {
    s.Bind(1, p.call)
        .Bind(2, p.received)
        .Bind(3, p.timestamp)
        .Bind(4, p.score)
        .Bind(5, p.qsos)
        .Bind(6, p.points)
        .Bind(7, p.mults)
        .Bind(8, p.category.ops)
        .Bind(9, p.category.mode)
        .Bind(10, p.category.power)
        .Bind(11, p.category.bands)
        .Bind(12, p.category.transmitter)
        .Bind(13, p.category.assisted)
        .Bind(14, p.category.overlay)
        .Bind(15, p.flag);
}

const std::string kShownValues = "?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15";

}  // namespace

void SqliteStore::AddPost(const PostRecord& p) {
    std::lock_guard lock(writeLock_);
    writer_->Transaction([&] {
        static const std::string kInsert =
            std::string("INSERT INTO posts(") + kShownColumns + ", xml) VALUES(" + kShownValues + ", ?16)";
        Statement post(*writer_, kInsert);
        BindShown(post, p);
        post.Bind(16, p.xml).Step();
        // A post that arrives late (a retry) does not push back a newer one.
        static const std::string kUpsert =
                         std::string("INSERT INTO latest(") + kShownColumns + ", post_id) VALUES(" + kShownValues +
                             ", last_insert_rowid()) ON CONFLICT(call) DO UPDATE SET post_id = excluded.post_id, "
                             "received = excluded.received, timestamp = excluded.timestamp, score = excluded.score, "
                             "qsos = excluded.qsos, points = excluded.points, mults = excluded.mults, "
                             "cat_ops = excluded.cat_ops, cat_mode = excluded.cat_mode, cat_power = excluded.cat_power, "
                             "cat_bands = excluded.cat_bands, cat_transmitter = excluded.cat_transmitter, "
                             "cat_assisted = excluded.cat_assisted, cat_overlay = excluded.cat_overlay, "
                             "flag = excluded.flag WHERE excluded.timestamp >= latest.timestamp";
        Statement latest(*writer_, kUpsert);
        BindShown(latest, p);
        latest.Step();
    });
}

std::vector<PostRecord> SqliteStore::LatestPosts() {
    std::lock_guard lock(readLock_);
    std::vector<PostRecord> posts;
    {
        Statement count(*reader_, "SELECT count(*) FROM latest");
        count.Step();
        posts.reserve(static_cast<std::size_t>(count.Int(0)));
    }
    Statement s(*reader_, std::string("SELECT ") + kShownColumns + " FROM latest");
    while (s.Step()) posts.push_back(RecordOf(s));
    return posts;
}

std::optional<PostRecord> SqliteStore::LatestPost(const std::string& call) {
    std::lock_guard lock(readLock_);
    Statement s(*reader_, "SELECT p.call, p.received, p.timestamp, p.score, p.qsos, p.points, p.mults, p.cat_ops, "
                          "p.cat_mode, p.cat_power, p.cat_bands, p.cat_transmitter, p.cat_assisted, p.cat_overlay, "
                          "p.flag, p.xml FROM latest l JOIN posts p ON p.id = l.post_id WHERE l.call = ?1");
    if (!s.Bind(1, call).Step()) return std::nullopt;
    PostRecord r = RecordOf(s);
    r.xml = s.Text(15);
    return r;
}

std::int64_t SqliteStore::PostCount(const std::string& call) {
    std::lock_guard lock(readLock_);
    Statement s(*reader_, "SELECT count(*) FROM posts WHERE call = ?1");
    s.Bind(1, call).Step();
    return s.Int(0);
}

namespace {

LogRecord LogOf(const Statement& s) {
    return {s.Int(0), s.Text(1), s.Int(2), s.Text(3), s.Text(4), s.Int(5), s.Text(6), s.Int(7), s.Int(8), s.Text(9), s.Int(10)};
}

std::vector<LogRecord> LogsOf(Statement& s) {
    std::vector<LogRecord> logs;
    while (s.Step()) logs.push_back(LogOf(s));
    return logs;
}

}  // namespace

LogRecord SqliteStore::AddLog(const LogRecord& l) {
    std::lock_guard lock(writeLock_);
    LogRecord added = l;
    writer_->Transaction([&] {
        Statement add(*writer_, "INSERT INTO logs(call, received, sha256, file, bytes, category, qsos, claimed, "
                                "token_hash, version) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, "
                                "(SELECT count(*) + 1 FROM logs WHERE call = ?1)) RETURNING id, version");
        add.Bind(1, l.call).Bind(2, l.received).Bind(3, l.sha256).Bind(4, l.file).Bind(5, l.bytes);
        add.Bind(6, l.category).Bind(7, l.qsos).Bind(8, l.claimed).Bind(9, l.tokenHash);
        if (add.Step()) {
            added.id = add.Int(0);
            added.version = add.Int(1);
        }
        while (add.Step()) {
        }
    });
    return added;
}

std::vector<LogRecord> SqliteStore::CurrentLogs() {
    std::lock_guard lock(readLock_);
    Statement s(*reader_, std::string("SELECT ") + kLogColumns +
                              " FROM logs WHERE id IN (SELECT max(id) FROM logs GROUP BY call) ORDER BY call");
    return LogsOf(s);
}

std::vector<LogRecord> SqliteStore::AllLogs() {
    std::lock_guard lock(readLock_);
    Statement s(*reader_, std::string("SELECT ") + kLogColumns + " FROM logs ORDER BY id");
    return LogsOf(s);
}

std::optional<LogRecord> SqliteStore::LogOfToken(const std::string& tokenHash) {
    std::lock_guard lock(readLock_);
    Statement s(*reader_, std::string("SELECT ") + kLogColumns + " FROM logs WHERE token_hash = ?1");
    if (!s.Bind(1, tokenHash).Step()) return std::nullopt;
    return LogOf(s);
}

std::int64_t SqliteStore::LogCount(const std::string& call) {
    std::lock_guard lock(readLock_);
    Statement s(*reader_, "SELECT count(*) FROM logs WHERE call = ?1");
    s.Bind(1, call).Step();
    return s.Int(0);
}

void SqliteStore::SetLatePermit(const std::string& call) {
    std::lock_guard lock(writeLock_);
    writer_->Transaction([&] {
        Statement(*writer_, "INSERT OR REPLACE INTO late_permits(call, made) VALUES(?1, ?2)")
            .Bind(1, call)
            .Bind(2, UtcNow())
            .Step();
    });
}

bool SqliteStore::RemoveLatePermit(const std::string& call) {
    std::lock_guard lock(writeLock_);
    bool removed = false;
    writer_->Transaction([&] {
        Statement remove(*writer_, "DELETE FROM late_permits WHERE call = ?1 RETURNING call");
        removed = remove.Bind(1, call).Step();
        while (remove.Step()) {
        }
    });
    return removed;
}

bool SqliteStore::HasLatePermit(const std::string& call) {
    std::lock_guard lock(readLock_);
    Statement s(*reader_, "SELECT 1 FROM late_permits WHERE call = ?1");
    return s.Bind(1, call).Step();
}

std::vector<std::string> SqliteStore::LatePermits() {
    std::lock_guard lock(readLock_);
    Statement s(*reader_, "SELECT call FROM late_permits ORDER BY call");
    std::vector<std::string> calls;
    while (s.Step()) calls.push_back(s.Text(0));
    return calls;
}

void SqliteStore::AddSponsorKey(const std::string& keyHash) {
    std::lock_guard lock(writeLock_);
    writer_->Transaction([&] {
        Statement(*writer_, "INSERT OR IGNORE INTO sponsor_keys(key_hash, made) VALUES(?1, ?2)")
            .Bind(1, keyHash)
            .Bind(2, UtcNow())
            .Step();
    });
}

bool SqliteStore::IsSponsorKey(const std::string& keyHash) {
    std::lock_guard lock(readLock_);
    Statement s(*reader_, "SELECT 1 FROM sponsor_keys WHERE key_hash = ?1");
    return s.Bind(1, keyHash).Step();
}
