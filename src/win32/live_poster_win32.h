// LivePoster: the plug-in's LiveScoreSender (module/live_score.h) over a thread
// of its own and WinHTTP. The thread starts with the first pass that turns posts
// on, holds the module loaded while it runs (it may be inside a post when the
// host unloads the plug-in) and leaves by FreeLibraryAndExitThread. One post at a
// time, with the timeouts of ScoreboardClient; the host's thread never waits for
// the network, and an unload never waits for the thread.
#pragma once

#include <memory>

#include "module/live_score.h"

class LivePoster final : public LiveScoreSender {
public:
    // `canHoldModule`: this module runs as the engine, so a thread of its own may
    // hold it; without that no thread starts and the status says why.
    explicit LivePoster(bool canHoldModule);
    ~LivePoster() override;  // Stop()
    LivePoster(const LivePoster&) = delete;
    LivePoster& operator=(const LivePoster&) = delete;

    // Asks the thread to end after the post it may be in, and returns at once:
    // safe under the loader lock.
    void Stop();

    void Configure(const LiveScoreSettings& settings) override;
    void Offer(const LivePost& post) override;
    LiveScoreStatus Status() override;

    struct Shared;  // what the thread and this object share; the thread may outlive it

private:
    bool canHoldModule_;
    std::shared_ptr<Shared> shared_;
};
