// The claimed score as it grew, as live score posts: what replay --live sends to
// a scoreboard so that a whole contest can be watched in fast-forward. Portable.
#pragma once

#include <string>
#include <vector>

#include "cabrillo_header.h"
#include "ledger.h"

struct LivePost {
    std::string at;   // the log's time of the post, "yyyy-mm-dd hh:mm"
    std::string xml;  // the plug-in's post (contest/score_post.h)
};

// One post at the last QSO of every `everyMinutes` of the log's time that has a
// QSO, the last at the log's last QSO; each with the figures the ledger holds at
// that QSO (the plug-in's rule code, which the ledger is held against the report
// with), the categories of `header` and the QSO's time as its timestamp.
std::vector<LivePost> LivePosts(const ReplayPlan& plan, const Ledger& ledger, const std::vector<HeaderValue>& header,
                                int everyMinutes);
