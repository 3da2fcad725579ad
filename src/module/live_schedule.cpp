#include "module/live_schedule.h"

#include <algorithm>

LiveSchedule::LiveSchedule(std::int64_t intervalSeconds) : interval_(std::max<std::int64_t>(intervalSeconds, 60)) {}

std::int64_t LiveSchedule::SecondsUntilDue(std::int64_t now) const {
    if (!pending_ && !known_) return -1;
    if (!tried_) return 0;
    std::int64_t wait = pending_ ? interval_ : kHeartbeatSeconds;
    if (failures_ > 0) {
        wait = interval_;
        for (int i = 1; i < failures_ && wait < kLongestWaitSeconds; ++i) wait *= 2;
        wait = std::min(wait, kLongestWaitSeconds);
    }
    return std::max<std::int64_t>(0, last_ + wait - now);
}

void LiveSchedule::Posted(std::int64_t now, bool accepted) {
    tried_ = true;
    known_ = true;
    last_ = now;
    if (accepted) {
        pending_ = false;
        failures_ = 0;
    } else {
        ++failures_;
    }
}
