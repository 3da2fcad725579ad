// The contest-server program killed with SIGKILL while stations post to it: every
// post it acknowledged is in its file, and it starts again on that file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "server_process.h"
#include "test_server.h"

namespace {

long long StoredCount(sqlite3* db, const std::string& call, long long score) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM posts WHERE call = ?1 AND score = ?2", -1, &s, nullptr);
    sqlite3_bind_text(s, 1, call.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(s, 2, score);
    const long long n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
    sqlite3_finalize(s);
    return n;
}

TEST(ContestServerProcess, KilledUnderLoadLosesNoAcknowledgedPostAndRestartsOnItsFile) {
    std::string name = (std::filesystem::temp_directory_path() / "contest-server-crash-XXXXXX").string();
    const std::string dir = mkdtemp(name.data());
    const auto keys = MakeKeys(CONTEST_SERVER, dir, {"SM5AAA", "SM5BBB", "SM5CCC", "SM5DDD"});
    ASSERT_EQ(keys.size(), 4u);
    // The sample's contest, which sets no rate: each station posts as fast as it is answered.
    const auto server = StartServer(CONTEST_SERVER, dir, CONTEST_TOML);
    ASSERT_GT(server->port(), 0);
    // One post before the stations start, from this thread: the libraries'
    // statics are made then, not by four threads at once (which ThreadSanitizer,
    // seeing no lock around them in the uninstrumented library, would report).
    {
        httplib::Client c("127.0.0.1", server->port());
        c.set_basic_auth(keys[0].first.c_str(), keys[0].second.c_str());
        ASSERT_EQ(c.Post("/post", Not1mmPost(keys[0].first, 0, 0, 1, 0, "2021-03-06 11:59:00"), "text/xml")->status, 200);
    }

    // Each station posts as fast as it is answered, until the server is gone or 5 s have passed.
    std::mutex lock;
    std::vector<std::pair<std::string, long long>> acknowledged;
    std::atomic<bool> killed{false};
    std::vector<std::thread> stations;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (std::size_t s = 0; s < keys.size(); ++s) {
        stations.emplace_back([&, s] {
            httplib::Client c("127.0.0.1", server->port());
            c.set_basic_auth(keys[s].first.c_str(), keys[s].second.c_str());
            c.set_connection_timeout(1);
            c.set_read_timeout(2);
            for (long long i = 1; std::chrono::steady_clock::now() < deadline; ++i) {
                const auto r = c.Post("/post", Not1mmPost(keys[s].first, i, i, 1, i, "2021-03-06 12:00:00"), "text/xml");
                if (r && r->status == 200) {
                    std::lock_guard hold(lock);
                    acknowledged.emplace_back(keys[s].first, i);
                } else if (killed) {
                    return;
                }
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    server->Signal(SIGKILL);
    killed = true;
    for (auto& t : stations) t.join();
    ASSERT_GT(acknowledged.size(), 20u) << "too few posts before the kill to say anything";

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2((dir + "/scores.sqlite").c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    std::size_t lost = 0;
    for (const auto& [call, score] : acknowledged) lost += StoredCount(db, call, score) == 1 ? 0 : 1;
    EXPECT_EQ(lost, 0u) << "of " << acknowledged.size() << " acknowledged posts";
    std::printf("%zu posts acknowledged before the kill, %zu of them missing\n", acknowledged.size(), lost);
    sqlite3_close(db);

    const auto again = StartServer(CONTEST_SERVER, dir, CONTEST_TOML);
    ASSERT_GT(again->port(), 0);
    httplib::Client c("127.0.0.1", again->port());
    c.set_basic_auth(keys[0].first.c_str(), keys[0].second.c_str());
    EXPECT_EQ(c.Post("/post", Not1mmPost(keys[0].first, 1, 1, 1, 1, "2021-03-06 12:30:00"), "text/xml")->status, 200);
    EXPECT_NE(c.Get("/scores.json")->body.find("\"stations\":4,"), std::string::npos);
    const int status = again->Signal(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a stopped server ends with status 0";
    std::filesystem::remove_all(dir);
}

}  // namespace
