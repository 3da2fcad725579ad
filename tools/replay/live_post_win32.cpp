// Implements PostLive (live_post_win32.h) over the plug-in's scoreboard client:
// one session for the run, one request a post.
#include "live_post_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "text_files_win32.h"
#include "win32/scoreboard_http_win32.h"

namespace {

constexpr int kTimeoutMs = 5000;
constexpr DWORD kMaxPauseMs = 1000;

}  // namespace

void PostLive(const std::string& url, const std::vector<LivePost>& posts, int seconds) {
    std::unique_ptr<ScoreboardClient> client;
    try {
        client = std::make_unique<ScoreboardClient>(url, kTimeoutMs);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(std::string("--live ") + e.what());
    }
    const DWORD pause =
        posts.empty() ? 0 : std::min<DWORD>(kMaxPauseMs, 1000u * static_cast<DWORD>(seconds) / static_cast<DWORD>(posts.size()));
    std::printf("\nPosting the claimed score as it grew: %zu posts, one every %lu ms\n", posts.size(),
                static_cast<unsigned long>(pause));
    std::fflush(stdout);
    std::size_t taken = 0;
    std::string firstRefusal;
    for (const LivePost& post : posts) {
        const ScoreboardAnswer answer = client->Post(post.xml);
        if (answer.status == 200) ++taken;
        else if (firstRefusal.empty())
            firstRefusal = post.at + ": " + (answer.status ? "HTTP " + std::to_string(answer.status) + " " + answer.text
                                                             : std::string("no answer"));
        Sleep(pause);
    }
    std::printf("The scoreboard took %zu of %zu posts", taken, posts.size());
    if (!firstRefusal.empty()) std::printf("; the first it did not take, at %s", ToAnsi(firstRefusal).c_str());
    std::printf("\n");
    if (taken == 0 && !posts.empty()) throw std::runtime_error("the scoreboard took no post");
}
