// The scoreboard and a station's page, as HTML (no script: it reloads itself
// with a meta refresh, and reads on a phone) and as JSON. Portable.
#pragma once

#include <cstdint>
#include <string>

#include "post_reader.h"
#include "scoreboard.h"

// A page's head, the scoreboard's style; refreshSeconds 0: a page that stays.
std::string PageHead(const std::string& title, int refreshSeconds = 0);

std::string ScoreboardHtml(const Scoreboard& board, int refreshSeconds);
std::string ScoreboardJson(const Scoreboard& board);

// A station's latest post with its breakdown by band; `post` is `latest.xml` read.
struct StationView {
    const PostRecord& latest;
    const ScorePost& post;
    std::int64_t posts;  // how many the station made
    UtcSeconds now;
};
std::string StationHtml(const StationView& view, int refreshSeconds);
std::string StationJson(const StationView& view);

// The address of a station's page, relative to the scoreboard's.
std::string StationLink(const std::string& call, bool json);
