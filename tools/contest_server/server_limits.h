// Every limit of contest-server, in one place: what a request may be, how fast a
// station may post, how long a client may take, and what the store may wait.
#pragma once

#include <cstddef>

namespace limits {

// A post's HTTP body, in either encoding; anything longer is refused with 413.
inline constexpr std::size_t kMaxPostBytes = 64 * 1024;
// An uploaded log's file; a larger one is refused with 413 and nothing kept. A
// 48-hour contest's busiest Cabrillo log is well under 1 MB.
inline constexpr std::size_t kMaxLogBytes = 5 * 1024 * 1024;
// What a multipart body may add around the file: its boundaries and headers.
inline constexpr std::size_t kMaxFormOverheadBytes = 16 * 1024;
// Lines a receipt lists as not read; the count is always given whole.
inline constexpr std::size_t kMaxReceiptLines = 200;

// Entries of a post's <breakdown>; a logger sends a few dozen.
inline constexpr std::size_t kMaxBreakdownEntries = 512;
// Any text of a post (category, club, software); a call has its own.
inline constexpr std::size_t kMaxTextBytes = 64;
inline constexpr std::size_t kMinCallBytes = 3;
inline constexpr std::size_t kMaxCallBytes = 20;

// How far a post's timestamp may lie before the contest's start, after its end,
// or ahead of this server's clock.
inline constexpr long long kTimestampSlackSeconds = 60 * 60;

// Posts a station may make in a minute, unless the contest's file says otherwise.
// Loggers post every 2 to 5 minutes; this leaves room for retries.
inline constexpr int kDefaultPostsPerMinute = 30;

// The scoreboard page reloads itself this often (seconds), unless the file says otherwise.
inline constexpr int kDefaultRefreshSeconds = 60;
// A station whose last post is older than this is shown as quiet.
inline constexpr long long kQuietAfterSeconds = 15 * 60;

// A client that sends its request or reads its answer slower than this is dropped.
inline constexpr int kReadTimeoutSeconds = 10;
inline constexpr int kWriteTimeoutSeconds = 10;
// A kept-alive connection holds a thread while it idles: it is closed after this
// long, and after so many requests.
inline constexpr int kKeepAliveSeconds = 2;
inline constexpr int kKeepAliveRequests = 100;
// Threads that serve connections (the store takes one write at a time; the rest
// wait for the network), and connections the kernel queues for them.
inline constexpr int kWorkerThreads = 32;
inline constexpr int kListenBacklog = 1024;

// How long a write waits for another process (a key command) holding the store.
inline constexpr int kStoreBusyMilliseconds = 5000;

}  // namespace limits
