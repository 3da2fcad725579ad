// The store when a write fails: every write point of a post is made to fail in
// turn, through the VFS under SQLite, and the server must answer 503, keep
// nothing of that post, and go on with the next.
#include <gtest/gtest.h>

#include "failing_vfs.h"
#include "test_server.h"

namespace {

std::string PostAt(int minute, long long score) {
    char at[32];
    std::snprintf(at, sizeof at, "2021-03-06 %02d:%02d:00", 10 + minute / 60, minute % 60);
    return Not1mmPost("SM5XYZ", score, score, 1, score, at);
}

TEST(ContestServer, AFailedWriteLosesNoAcknowledgedPostAndLeavesNoneHalfStored) {
    TestServer server(SampleContest(), FailingVfs());
    const std::string key = server.KeyFor("SM5XYZ");
    httplib::Client c = server.Client();
    c.set_basic_auth("SM5XYZ", key.c_str());

    const int before = WritesSeen();
    ASSERT_EQ(c.Post("/post", PostAt(0, 1), "text/xml")->status, 200);
    const int writesPerPost = WritesSeen() - before;
    ASSERT_GT(writesPerPost, 1);

    long long acknowledged = 1, latest = 1;
    int refused = 0;
    for (int n = 1; n <= writesPerPost; ++n) {
        SCOPED_TRACE("write " + std::to_string(n) + " of the post fails");
        const int start = WritesSeen();
        FailNthWrite(n);
        const auto r = c.Post("/post", PostAt(n, 100 + n), "text/xml");
        FailNthWrite(0);
        ASSERT_TRUE(r);
        // A post may touch a page fewer than the first: then the fault never came.
        if (WritesSeen() - start >= n) {
            ++refused;
            EXPECT_EQ(r->status, 503);
            EXPECT_NE(r->body.find("not stored"), std::string::npos) << r->body;
        } else {
            EXPECT_EQ(r->status, 200);
            ++acknowledged;
            latest = 100 + n;
        }
        // The next post goes through, and the store holds exactly what was acknowledged.
        ASSERT_EQ(c.Post("/post", PostAt(n, 1000 + n), "text/xml")->status, 200);
        ++acknowledged;
        latest = 1000 + n;
        EXPECT_EQ(server.store().PostCount("SM5XYZ"), acknowledged);
        EXPECT_EQ(server.store().LatestPost("SM5XYZ")->score, latest);
    }
    EXPECT_GT(refused, 0);

    // What a crash would leave: the file and its log, without the shared index
    // that the running server keeps. Read afresh, they hold every acknowledged post.
    const std::filesystem::path copy = std::filesystem::temp_directory_path() / "contest-server-faults-copy";
    std::filesystem::remove_all(copy);
    std::filesystem::create_directory(copy);
    for (const char* file : {"scores.sqlite", "scores.sqlite-wal"})
        std::filesystem::copy_file(server.dir() / file, copy / file);
    SqliteStore reopened((copy / "scores.sqlite").string());
    EXPECT_EQ(reopened.PostCount("SM5XYZ"), acknowledged);
    EXPECT_EQ(reopened.LatestPost("SM5XYZ")->score, latest);
    std::filesystem::remove_all(copy);
}

}  // namespace
