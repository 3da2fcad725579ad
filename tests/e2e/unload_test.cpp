// Unloading with the operator windows open, as different hosts do it: the exports
// on the thread that owns the automation object, or on a worker thread that does
// not pump while the object's thread does. FreeLibrary must return with no window
// of the module left, the process must live on, and the plug-in must load again as
// new. ctest also runs this suite in a Wine prefix of its own whose windows are
// managed: with no window manager there, each DestroyWindow takes about 2 s.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "automation_object.h"
#include "stand_in_host.h"
#include "window_driver.h"

namespace {

constexpr int kOnTopBox = 1016;
// The longest a host's FreeLibrary may wait for a window thread that shows no
// progress, with a margin for a loaded machine.
constexpr DWORD kUnloadBoundMs = 15000;

void SetSetting(const char* key, const char* value) {
    WritePrivateProfileStringA("Settings", key, value, ".\\Plugins\\VERDA-WW.ini");
}

bool ModuleGone() { return OurVisibleWindows().empty() && StatsDllUnmapped(); }

// Where the host calls the exports from.
enum class Caller { objectThread, worker };

class UnloadTest : public ::testing::TestWithParam<Caller> {
protected:
    ComThread com;  // the host object lives in this thread's apartment
    ScratchFolder folder;
    HostAutomationObject host;
    std::optional<StatsDll> dll;

    void SetUp() override {
        ASSERT_TRUE(host.registered());
        SetSetting("setup_view_pref", "1");
        SetSetting("setup_view_prev_qso", "1");
    }
    void TearDown() override {
        AsHost([&] { dll.reset(); });
    }

    // Runs `body` as the host calls the exports. A worker sleeps between calls
    // and never pumps; this thread keeps serving the host object meanwhile.
    void AsHost(const std::function<void()>& body) {
        if (GetParam() == Caller::objectThread) return body();
        RunOnWorker(
            [&] {
                Sleep(20);
                body();
            },
            120000);
    }

    // Loads the plug-in and opens all three windows.
    bool LoadWithWindows(const std::string& path = StatsDll::DefaultPath()) {
        SetSetting("Start", "0");
        AsHost([&] {
            dll.emplace(path);
            dll->ResetStats0(ResetCall{});
        });
        return PumpUntil([] { return OurVisibleWindows().size() == 3; }, 15000);
    }

    // FreeLibrary, and what it left behind; returns its time in ms. `boundMs`: how
    // long it may take where windows go at once (well under the stop's 5-s slice,
    // with room for a loaded machine).
    DWORD Unload(DWORD boundMs = 4000) {
        DWORD took = 0;
        AsHost([&] {
            const DWORD start = GetTickCount();
            dll.reset();
            took = GetTickCount() - start;
        });
        // Where windows go at once, so does the unload.
        if (!std::getenv("STATS_SLOW_DESKTOP")) {
            EXPECT_LT(took, boundMs);
        }
        // An update that is calling the host holds the module until it has its
        // answer, a moment later: the unload then ends on that update's helper,
        // and on a slow desktop its windows take seconds to go.
        EXPECT_TRUE(PumpUntil(ModuleGone, 15000));
        PumpFor(2000);  // a thread left running in the unmapped module would crash us here
        return took;
    }
};

TEST_P(UnloadTest, WithAllWindowsOpenLeavesNoWindowAndLoadsAgain) {
    ASSERT_TRUE(LoadWithWindows());
    RecordProperty("unload_ms", static_cast<int>(Unload()));
    ASSERT_TRUE(LoadWithWindows());  // a fresh module, windows and all
    Unload();
}

// Without its engine beside it, or beside one of another build, the plug-in
// answers alone, windows and unload included; the built one has its engine.
TEST_P(UnloadTest, WithoutItsOwnEngineItWorksAlone) {
    const std::string built = StatsDll::DefaultPath();
    for (const char* dir : {"alone", "other", "other\\VERDA-WW-DX"}) CreateDirectoryA(dir, nullptr);
    WriteFileBytes("alone\\Stats.dll", ReadFileBytes(built));
    WriteFileBytes("other\\Stats.dll", ReadFileBytes(built));
    WriteFileBytes("other\\VERDA-WW-DX\\StatsEngine.dll", ReadFileBytes(built) + "another build");
    for (const char* dir : {"alone", "other"}) {
        ASSERT_TRUE(LoadWithWindows(folder.path() + "\\" + dir + "\\Stats.dll"));
        EXPECT_EQ(GetModuleHandleW(L"StatsEngine.dll"), nullptr) << dir;
        Unload();
    }
    ASSERT_TRUE(LoadWithWindows());
    EXPECT_NE(GetModuleHandleW(L"StatsEngine.dll"), nullptr);
    Unload();
}

TEST_P(UnloadTest, AQueuedClickOnTheOnTopBoxReopensBothSideWindows) {
    ASSERT_TRUE(LoadWithWindows());
    HWND setup = FindOurWindow(L"Setup VERDA-WW-DX- 2021");
    ASSERT_NE(setup, nullptr);
    // As a mouse delivers it: posted button messages, not a sent BM_CLICK.
    HWND box = GetDlgItem(setup, kOnTopBox);
    PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    auto sideWindowsOnTop = [] {
        HWND mult = FindOurWindow(L"Working mult");
        HWND prev = FindOurWindow(L"Working Prefix");
        return mult && prev && IsTopMost(mult) && IsTopMost(prev);
    };
    EXPECT_TRUE(PumpUntil(sideWindowsOnTop, 15000));
    Unload();
}

// A host whose object stops answering in the middle of an update: the exports on
// a worker, since the object's own thread is the one that hangs.
class StalledHostTest : public UnloadTest {};

TEST_P(StalledHostTest, ExportsAnswerAndTheUnloadEndsOnceTheHostAnswers) {
    constexpr DISPID kFrequency = 2;
    constexpr DWORD kStallMs = 8000;
    ASSERT_TRUE(LoadWithWindows());
    host.stallNext = kFrequency;
    host.stallMs = kStallMs;
    DWORD worstExportMs = 0, unloadMs = 0;
    AsHost([&] {
        dll->CheckCall0(CheckCallArgs{});  // its update stalls on the frequency
        Sleep(2500);
        auto timed = [&](const std::function<void()>& call) {
            const DWORD start = GetTickCount();
            call();
            worstExportMs = std::max(worstExportMs, GetTickCount() - start);
        };
        timed([&] { dll->AddData0(QsoCall{}); });
        timed([&] { dll->CheckCall0(CheckCallArgs{}); });
        timed([&] { dll->Results(); });
        const DWORD start = GetTickCount();
        dll.reset();
        unloadMs = GetTickCount() - start;
    });
    EXPECT_EQ(host.Count("stalled"), 1);
    // Far below the stall: no export waited for the host (a loaded machine takes
    // a tenth of a second for one now and then).
    EXPECT_LT(worstExportMs, 1000u);
    // The unload closes the windows as any unload does (on a slow desktop that
    // takes seconds); the update's helper keeps the engine until the host answers.
    if (!std::getenv("STATS_SLOW_DESKTOP")) {
        EXPECT_LT(unloadMs, 2000u);
    }
    EXPECT_TRUE(OurVisibleWindows().empty());
    // The stalled call has returned by now; the update's helper ends the unload.
    EXPECT_TRUE(PumpUntil(ModuleGone, 5000));
    PumpFor(1000);
    ASSERT_TRUE(LoadWithWindows());
    Unload();
}

// Makes the window thread wait for the loader lock when it takes the unload's
// WM_CLOSE from its queue, as a system call on that thread does when it loads a
// library while the host's FreeLibrary holds the lock. With `release`, it then
// waits for that event as well: a thread stuck for good until the test lets it go.
class LoaderLockAtClose {
public:
    LoaderLockAtClose(HWND setup, HANDLE release = nullptr) {
        self_ = this;
        setup_ = setup;
        release_ = release;
        hook_ = SetWindowsHookExW(WH_GETMESSAGE, OnMessage, nullptr, GetWindowThreadProcessId(setup, nullptr));
    }
    ~LoaderLockAtClose() {
        if (hook_) UnhookWindowsHookEx(hook_);
        self_ = nullptr;
    }
    LoaderLockAtClose(const LoaderLockAtClose&) = delete;
    LoaderLockAtClose& operator=(const LoaderLockAtClose&) = delete;
    bool installed() const { return hook_ != nullptr; }
    bool waited() const { return waited_; }

private:
    using LockFn = LONG(NTAPI*)(ULONG, ULONG*, ULONG_PTR*);
    using UnlockFn = LONG(NTAPI*)(ULONG, ULONG_PTR);

    static LRESULT CALLBACK OnMessage(int code, WPARAM wParam, LPARAM lParam) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        LoaderLockAtClose* self = self_;
        if (code == HC_ACTION && wParam == PM_REMOVE && self && !self->waited_ && msg->hwnd == self->setup_ &&
            msg->message == WM_CLOSE) {
            self->waited_ = true;
            HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
            auto lock = reinterpret_cast<LockFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrLockLoaderLock")));
            auto unlock =
                reinterpret_cast<UnlockFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrUnlockLoaderLock")));
            ULONG_PTR cookie = 0;
            if (lock(0, nullptr, &cookie) >= 0) unlock(0, cookie);
            if (self->release_) WaitForSingleObject(self->release_, INFINITE);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline LoaderLockAtClose* self_ = nullptr;
    HWND setup_ = nullptr;
    HANDLE release_ = nullptr;
    HHOOK hook_ = nullptr;
    std::atomic<bool> waited_{false};
};

// The window thread stuck in its close handling: the host's FreeLibrary returns
// within its bound all the same, and the process lives on; the module goes once
// the thread has left it, and loads again.
class StuckWindowThreadTest : public UnloadTest {};

TEST_P(StuckWindowThreadTest, OnTheLoaderLockAtCloseTheHostGetsItsProcessBack) {
    ASSERT_TRUE(LoadWithWindows());
    LoaderLockAtClose stuck(FindOurWindow(L"Setup VERDA-WW-DX- 2021"));
    ASSERT_TRUE(stuck.installed());
    Unload(kUnloadBoundMs);
    EXPECT_TRUE(stuck.waited());
    ASSERT_TRUE(LoadWithWindows());
    Unload();
}

TEST_P(StuckWindowThreadTest, ForGoodTheModuleWaitsForItAndGoesOnceItIsLetGo) {
    ASSERT_TRUE(LoadWithWindows());
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        LoaderLockAtClose stuck(FindOurWindow(L"Setup VERDA-WW-DX- 2021"), release);
        ASSERT_TRUE(stuck.installed());
        DWORD took = 0;
        AsHost([&] {
            const DWORD start = GetTickCount();
            dll.reset();
            took = GetTickCount() - start;
        });
        EXPECT_LT(took, kUnloadBoundMs);
        EXPECT_TRUE(stuck.waited());
        PumpFor(2000);  // the host goes on; the module's code is still there for the thread
        EXPECT_FALSE(StatsDllUnmapped());
        SetEvent(release);
        EXPECT_TRUE(PumpUntil(ModuleGone, 15000));
    }
    CloseHandle(release);
    PumpFor(1000);
    ASSERT_TRUE(LoadWithWindows());
    Unload();
}

INSTANTIATE_TEST_SUITE_P(Hosts, StuckWindowThreadTest, ::testing::Values(Caller::objectThread, Caller::worker),
                         [](const auto& info) { return info.param == Caller::worker ? "Worker" : "ObjectThread"; });

INSTANTIATE_TEST_SUITE_P(Worker, StalledHostTest, ::testing::Values(Caller::worker),
                         [](const auto&) { return "Worker"; });

INSTANTIATE_TEST_SUITE_P(Hosts, UnloadTest, ::testing::Values(Caller::objectThread, Caller::worker),
                         [](const auto& info) { return info.param == Caller::worker ? "Worker" : "ObjectThread"; });

}  // namespace
