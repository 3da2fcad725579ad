// When the plug-in posts its claimed score to a live scoreboard: after a change,
// at most once an interval; a heartbeat when nothing changed for ten minutes; and
// after a failure, not again before a wait that doubles with each failure in a
// row, up to ten minutes. Pure: times are seconds on any one clock.
#pragma once

#include <cstdint>

class LiveSchedule {
public:
    static constexpr std::int64_t kHeartbeatSeconds = 600;
    static constexpr std::int64_t kLongestWaitSeconds = 600;

    // `intervalSeconds` below a minute counts as a minute.
    explicit LiveSchedule(std::int64_t intervalSeconds);

    // The claimed score changed, or is known for the first time.
    void Changed() { pending_ = true; }

    // Seconds from `now` until the next post is due, 0 when it is; -1 while
    // there is nothing to post yet.
    std::int64_t SecondsUntilDue(std::int64_t now) const;

    // A post was tried at `now`; `accepted` when the server took it.
    void Posted(std::int64_t now, bool accepted);

    std::int64_t intervalSeconds() const { return interval_; }

private:
    std::int64_t interval_;
    bool pending_ = false;  // a change that no accepted post has carried yet
    bool tried_ = false;    // a post was tried at `last_`
    bool known_ = false;    // a score has been known since the start
    std::int64_t last_ = 0;
    int failures_ = 0;  // in a row
};
