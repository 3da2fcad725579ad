// When live score posts go out, against a timeline worked out by hand.
#include <gtest/gtest.h>

#include "module/live_schedule.h"

TEST(LiveSchedule, PostsAChangeAtOnceThenAtMostOnceAnIntervalAndBeatsEveryTenMinutes) {
    LiveSchedule s(120);
    EXPECT_EQ(s.SecondsUntilDue(0), -1);  // nothing to post before a score is known
    s.Changed();
    EXPECT_EQ(s.SecondsUntilDue(5), 0);
    s.Posted(5, true);
    EXPECT_EQ(s.SecondsUntilDue(6), 599);  // only the heartbeat: nothing changed
    s.Changed();
    EXPECT_EQ(s.SecondsUntilDue(30), 95);  // two minutes after the last post
    EXPECT_EQ(s.SecondsUntilDue(200), 0);
    s.Posted(200, true);
    EXPECT_EQ(s.SecondsUntilDue(800), 0);  // the heartbeat
}

TEST(LiveSchedule, BacksOffAfterFailuresUpToTenMinutesAndKeepsTheChange) {
    LiveSchedule s(60);
    s.Changed();
    std::int64_t now = 0;
    for (std::int64_t expected : {60, 120, 240, 480, 600, 600}) {
        s.Posted(now, false);
        EXPECT_EQ(s.SecondsUntilDue(now), expected);
        now += expected;
    }
    s.Posted(now, true);
    EXPECT_EQ(s.SecondsUntilDue(now), 600);  // the change went out: heartbeat only
    s.Changed();
    EXPECT_EQ(s.SecondsUntilDue(now), 60);
}

TEST(LiveSchedule, AnIntervalUnderAMinuteIsAMinute) { EXPECT_EQ(LiveSchedule(5).intervalSeconds(), 60); }
