#include "scoreboard.h"

#include <algorithm>
#include <map>

std::string CategoryName(const ScoreClass& c) {
    std::string name;
    for (const std::string* part : {&c.ops, &c.assisted, &c.bands, &c.power, &c.mode, &c.transmitter, &c.overlay}) {
        if (part->empty()) continue;
        if (!name.empty()) name += ' ';
        name += *part;
    }
    return name.empty() ? "no category given" : name;
}

Scoreboard BuildScoreboard(std::vector<PostRecord> latest, const std::string& contest, UtcSeconds now) {
    Scoreboard board;
    board.contest = contest;
    board.now = now;
    board.stations = latest.size();
    std::map<std::string, std::vector<PostRecord>> byCategory;
    for (PostRecord& post : latest) {
        std::string name = CategoryName(post.category);
        byCategory[std::move(name)].push_back(std::move(post));
    }
    for (auto& [name, stations] : byCategory) {
        std::sort(stations.begin(), stations.end(), [](const PostRecord& a, const PostRecord& b) {
            return a.score != b.score ? a.score > b.score : a.call < b.call;
        });
        board.categories.push_back({name, std::move(stations)});
    }
    return board;
}
