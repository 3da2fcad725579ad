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
    // The records are large: an order of indices is sorted, and each record moved
    // once. Categories are few: each record's is a number into their sorted names.
    std::vector<std::string> names(latest.size());
    std::map<std::string, std::size_t> numbers;
    for (std::size_t i = 0; i < latest.size(); ++i) numbers.emplace(names[i] = CategoryName(latest[i].category), 0);
    for (auto& [name, n] : numbers) {
        n = board.categories.size();
        board.categories.push_back({name, {}});
    }
    std::vector<std::size_t> category(latest.size());
    for (std::size_t i = 0; i < latest.size(); ++i) category[i] = numbers.at(names[i]);
    std::vector<std::size_t> order(latest.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (category[a] != category[b]) return category[a] < category[b];
        if (latest[a].score != latest[b].score) return latest[a].score > latest[b].score;
        return latest[a].call < latest[b].call;
    });
    for (std::size_t i : order) board.categories[category[i]].stations.push_back(std::move(latest[i]));
    return board;
}
