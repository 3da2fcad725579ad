// The live scoreboard: every station's latest post, ranked within its category.
// Portable; the pages render it.
#pragma once

#include <string>
#include <vector>

#include "score_store.h"
#include "utc_time.h"

struct ScoreboardCategory {
    std::string name;                  // CategoryName of its stations
    std::vector<PostRecord> stations;  // the highest score first; equal scores by call
};

struct Scoreboard {
    std::string contest;
    UtcSeconds now = 0;  // ages are counted to it
    std::size_t stations = 0;
    std::vector<ScoreboardCategory> categories;  // by name
};

// The category as the page heads it: the non-empty <class> values in the order
// operators, assisted, bands, power, mode, transmitter, overlay.
std::string CategoryName(const ScoreClass& c);

Scoreboard BuildScoreboard(std::vector<PostRecord> latest, const std::string& contest, UtcSeconds now);
