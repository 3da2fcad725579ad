#include "win32/live_poster_win32.h"

#include <windows.h>

#include <mutex>
#include <optional>
#include <stdexcept>

#include "module/live_schedule.h"
#include "win32/event_win32.h"
#include "win32/scoreboard_http_win32.h"
#include "win32/wide_text_win32.h"

namespace {

constexpr int kTimeoutMs = 10000;

std::int64_t NowUtc() {
    FILETIME ft{};
    GetSystemTimeAsFileTime(&ft);
    const auto ticks = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000000ULL) - 11644473600LL;
}

CalendarTime CalendarNow() {
    SYSTEMTIME t{};
    GetSystemTime(&t);
    return CalendarTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

// The host's texts are in its ANSI code page; a post is UTF-8.
std::string Utf8OfAnsi(const std::string& ansi) {
    const std::wstring wide = WideFrom(ansi, CP_ACP);
    if (wide.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

CabrilloHeaderFields Utf8OfAnsi(CabrilloHeaderFields h) {
    for (std::string* text : {&h.callsign, &h.contest, &h.categoryOperator, &h.categoryAssisted, &h.categoryBand,
                              &h.categoryMode, &h.categoryPower, &h.categoryTransmitter, &h.categoryStation,
                              &h.categoryOverlay, &h.operators, &h.club})
        *text = Utf8OfAnsi(*text);
    return h;
}

std::string Problem(const ScoreboardAnswer& answer) {
    if (answer.status == 0) return "no answer from the scoreboard";
    std::string text = "the scoreboard answered " + std::to_string(answer.status);
    // The server's words go into the report as one line of plain ASCII.
    std::string said = answer.text.substr(0, 80);
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r')) said.pop_back();
    for (char& c : said)
        if (c < 0x20 || c > 0x7e) c = '?';
    return said.empty() ? text : text + ": " + said;
}

}  // namespace

struct LivePoster::Shared {
    std::mutex mutex;
    LiveScoreSettings settings;   // guarded by mutex
    std::optional<LivePost> post;  // the newest; guarded by mutex
    LiveScoreStatus status;       // guarded by mutex
    LiveSchedule schedule{120};   // guarded by mutex
    bool threadStarted = false;   // guarded by mutex
    Event wake{false};            // the settings or the score changed
    Event stop{true};             // the poster is gone: the thread ends
};

namespace {

struct Job {
    LiveScoreSettings settings;
    LivePost post;
};

// The next post's contents once it is due; none when the thread is to end.
std::optional<Job> WaitForDue(LivePoster::Shared& s) {
    for (;;) {
        std::int64_t due = -1;
        {
            std::lock_guard<std::mutex> lock(s.mutex);
            due = s.post ? s.schedule.SecondsUntilDue(NowUtc()) : -1;
            if (due == 0) return Job{s.settings, *s.post};
        }
        HANDLE events[2] = {s.stop.Get(), s.wake.Get()};
        const DWORD wait = due < 0 ? INFINITE : static_cast<DWORD>(due * 1000);
        if (WaitForMultipleObjects(2, events, FALSE, wait) == WAIT_OBJECT_0) return std::nullopt;
    }
}

void PostLoop(LivePoster::Shared& s) {
    std::unique_ptr<ScoreboardClient> client;
    LiveScoreSettings clientFor;
    while (std::optional<Job> job = WaitForDue(s)) {
        ScoreboardAnswer answer;
        std::string problem;
        try {
            if (!client || !(clientFor == job->settings)) {
                client.reset();
                client = std::make_unique<ScoreboardClient>(job->settings.url, kTimeoutMs, job->settings.user,
                                                            job->settings.password);
                clientFor = job->settings;
            }
            const std::string xml = ScorePostXml(job->post.score, Utf8OfAnsi(job->post.header),
                                                 Utf8OfAnsi(job->post.call), CalendarNow());
            answer = client->Post(xml);
            if (answer.status != 200) problem = Problem(answer);
        } catch (const std::exception& e) {
            problem = e.what();
        }
        std::lock_guard<std::mutex> lock(s.mutex);
        const std::int64_t now = NowUtc();
        s.schedule.Posted(now, answer.status == 200);
        s.status.tried = true;
        s.status.triedAt = now;
        s.status.accepted = answer.status == 200;
        if (s.status.accepted) s.status.acceptedAt = now;
        s.status.problem = problem;
    }
}

struct ThreadStart {
    std::shared_ptr<LivePoster::Shared> shared;
    HMODULE module;
};

DWORD WINAPI PosterMain(LPVOID param) {
    HMODULE module = nullptr;
    {
        std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(param));
        module = start->module;
        try {
            PostLoop(*start->shared);
        } catch (...) {
        }
    }
    FreeLibraryAndExitThread(module, 0);
}

}  // namespace

LivePoster::LivePoster(bool canHoldModule) : canHoldModule_(canHoldModule), shared_(std::make_shared<Shared>()) {}

LivePoster::~LivePoster() { Stop(); }

void LivePoster::Stop() { SetEvent(shared_->stop.Get()); }

void LivePoster::Configure(const LiveScoreSettings& settings) {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    if (!(settings == shared_->settings)) {
        shared_->schedule = LiveSchedule(settings.intervalSeconds);
        if (shared_->post) shared_->schedule.Changed();
    }
    shared_->settings = settings;
    shared_->status.on = settings.On();
    shared_->status.alone = settings.On() && !canHoldModule_;
    if (settings.On() && canHoldModule_ && !shared_->threadStarted) {
        // Taken here, in an export, where the loader lock is free.
        HMODULE module = nullptr;
        if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&PosterMain),
                               &module)) {
            auto start = std::make_unique<ThreadStart>(ThreadStart{shared_, module});
            if (HANDLE thread = CreateThread(nullptr, 0, PosterMain, start.get(), 0, nullptr)) {
                start.release();  // the thread's now
                CloseHandle(thread);
                shared_->threadStarted = true;
            } else {
                FreeLibrary(module);  // never the last: the caller's module holds it too
            }
        }
    }
    SetEvent(shared_->wake.Get());
}

void LivePoster::Offer(const LivePost& post) {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    const bool changed = !shared_->post || shared_->post->score.score != post.score.score ||
                         shared_->post->score.qsos != post.score.qsos || shared_->post->call != post.call;
    shared_->post = post;
    if (!changed) return;
    shared_->schedule.Changed();
    SetEvent(shared_->wake.Get());
}

LiveScoreStatus LivePoster::Status() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->status;
}
