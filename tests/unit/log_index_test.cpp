#include "contest/log_index.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

CInfo Record(std::string call, std::string band, std::string mode, std::string prefix = "") {
    CInfo r;
    r.call = std::move(call);
    r.band = std::move(band);
    r.mode = std::move(mode);
    r.nordicPrefix = std::move(prefix);
    return r;
}

// Many adds and removals over few keys, so that entries share home slots and
// every removal has neighbours to move back; the index must answer as plain
// counting does after every step.
TEST(LogIndex, AnswersAsPlainCountingThroughAddsAndRemovals) {
    std::vector<std::string> calls = {"VP2E/SM5XYZ/P", std::string("A\0B", 3), std::string("A\1B", 3), "A"};
    for (int i = 0; i < 40; ++i) calls.push_back("SM" + std::to_string(i) + "X");
    const std::vector<std::string> bands = {"20m", "80m", "80M", "40m"};
    const std::vector<std::string> modes = {"RTTY", "rtty", "PSK"};
    const std::vector<std::string> prefixes = {"", "SM5", "OH2"};

    std::mt19937 rng(11);
    auto pick = [&rng](const std::vector<std::string>& from) { return from[rng() % from.size()]; };
    std::vector<CInfo> stored;
    std::map<std::tuple<std::string, std::string, std::string>, int> byMode;
    std::map<std::pair<std::string, std::string>, int> byCall, byPrefix;
    LogIndex index;
    for (int step = 0; step < 12000; ++step) {
        // The log swells to about a hundred QSOs and shrinks again, so that keys
        // come and go and the table is now crowded, now sparse.
        const bool swelling = step / 400 % 2 == 0;
        if (stored.empty() || rng() % 8 < (swelling ? 5u : 3u)) {
            CInfo r = Record(pick(calls), pick(bands), pick(modes), pick(prefixes));
            const bool dupe = byMode[{r.call, r.band, r.mode}]++ > 0;
            ++byCall[{r.call, r.band}];
            ++byPrefix[{r.band, r.nordicPrefix}];
            ASSERT_EQ(index.Add(r), dupe) << "step " << step;
            stored.push_back(r);
        } else {
            const std::size_t at = rng() % stored.size();
            const CInfo r = stored[at];
            stored[at] = stored.back();
            stored.pop_back();
            --byMode[{r.call, r.band, r.mode}];
            --byCall[{r.call, r.band}];
            --byPrefix[{r.band, r.nordicPrefix}];
            index.Remove(r);
        }
        ASSERT_EQ(index.size(), stored.size());
        if (step % 10 != 0) continue;
        for (const auto& [key, count] : byCall)
            ASSERT_EQ(index.HasCallOnBand(key.first, key.second), count > 0) << "step " << step;
        for (const auto& [key, count] : byPrefix)
            ASSERT_EQ(index.HasPrefixOnBand(key.first, key.second), count > 0) << "step " << step;
        if (step % 5000 == 0) index.Reserve(stored.size() * 3);  // regrowing keeps every entry
    }
}

TEST(LogIndex, ClearForgetsEverything) {
    LogIndex index;
    EXPECT_FALSE(index.HasCallOnBand("SM5XYZ", "20m"));
    index.Add(Record("SM5XYZ", "20m", "RTTY", "SM5"));
    index.Clear();
    EXPECT_FALSE(index.HasCallOnBand("SM5XYZ", "20m"));
    EXPECT_FALSE(index.HasPrefixOnBand("20m", "SM5"));
    EXPECT_FALSE(index.Add(Record("SM5XYZ", "20m", "RTTY")));
    EXPECT_TRUE(index.Add(Record("SM5XYZ", "20m", "RTTY")));
}

}  // namespace
