// StartWindowThread / StopWindowThread over CreateThread, with the handshakes
// that make an unload safe: the thread has entered the module's code before
// Start returns, and Stop waits only for the thread to be done with that code.
#include "win32/window_thread_win32.h"

#include <atomic>
#include <memory>
#include <mutex>

#include "win32/com_holders_win32.h"
#include "win32/event_win32.h"
#include "win32/host_link_win32.h"
#include "win32/message_wait_win32.h"
#include "win32/module_reference_win32.h"
#include "win32/window_context_win32.h"

namespace {

constexpr DWORD kStartWaitMs = 5000;
constexpr DWORD kReadyWaitMs = 5000;
// A stop waits in slices of this length for as long as the window thread shows
// progress in each, up to the limit: on a slow desktop each DestroyWindow may take
// seconds, and the module must not be unmapped while the thread still runs in it.
// A slice covers an update's host calls (up to a second each) on a loaded,
// emulated machine: a shorter one took such a thread for stuck and unmapped the
// module under it (3 s often, 10 s now and then).
constexpr DWORD kStopSliceMs = 20000;
constexpr DWORD kStopLimitMs = 60000;

// One window thread's hand-shakes. Only the controlling side frees it, and only
// once `finished` is set: after setting it the thread touches nothing of ours.
struct ThreadRecord {
    Event started;   // the thread runs the module's code
    Event ready;     // its windows are up, updated and painted
    Event finished;  // it is done with the module's code
    Event stopping;  // it is asked to stop: a host call it waits for is given up
    bool Valid() const { return started.Get() && ready.Get() && finished.Get() && stopping.Get(); }
};

struct ThreadStart {
    HINSTANCE instance;
    WindowShared& shared;
    WindowState& windows;
    Env& env;
    HANDLE started;
    HANDLE ready;
    HANDLE finished;
    HANDLE stopping;
};

// Recursive, and `g_controlBusy` set while Start or Stop waits: the waits serve
// messages, through which the host may call the module again on this thread.
std::recursive_mutex g_controlMutex;       // guards g_thread and g_controlBusy
std::unique_ptr<ThreadRecord> g_thread;    // the window thread, until it is seen finished
bool g_controlBusy = false;
std::atomic<HWND> g_setupWindow{nullptr};  // non-null while the setup window exists
std::atomic<bool> g_unloading{false};
std::atomic<unsigned> g_windowProgress{0};

void RunWindowThread(const ThreadStart& start) {
    // Before any window: each window keeps the awareness of its thread's at creation.
    const DpiAwareness awareness = MakeThreadPerMonitorAware();
    ComApartment apartment;
    HostLink link(start.stopping);
    g_hostLink = &link;
    WindowContext ctx{start.instance, start.shared, start.windows, start.env, link};
    ctx.ready = start.ready;
    ctx.stopping = start.stopping;
    ctx.dpiAwareness = awareness;
    RunSetupDialog(ctx);
    SetEvent(start.ready);  // also when the window never came up
    g_setupWindow = nullptr;
    // Side windows still open when the dialog ended some other way.
    for (HWND side : {ctx.prefixWindow, ctx.multiplierWindow}) {
        if (side) DestroyWindow(side);
        NoteWindowProgress();
    }
    g_hostLink = nullptr;
    link.Disconnect();
    if (g_unloading) apartment.Abandon();
}

DWORD WINAPI WindowThreadMain(LPVOID param) {
    HANDLE finished = nullptr;
    {
        std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(param));
        finished = start->finished;
        SetEvent(start->started);
        try {
            RunWindowThread(*start);
        } catch (...) {
        }
    }
    // From here on no code of the module may run: an unload may be waiting for this.
    SetEvent(finished);
    ExitThread(0);
}

// Waits for the event while answering what the window thread may need from this
// thread meanwhile: on a single-threaded COM apartment the calls it makes to the
// host's object (served by COM's modal wait), otherwise the messages it sends.
bool WaitServingCom(HANDLE event, DWORD timeoutMs) {
    APTTYPE type{};
    APTTYPEQUALIFIER qualifier{};
    if (SUCCEEDED(CoGetApartmentType(&type, &qualifier)) && (type == APTTYPE_STA || type == APTTYPE_MAINSTA)) {
        HANDLE handles[1] = {event};
        DWORD index = 0;
        return CoWaitForMultipleHandles(0, timeoutMs, 1, handles, &index) == S_OK;
    }
    return WaitServingSentMessages(&event, 1, timeoutMs) == 0;
}

bool WaitWhileProgressing(HANDLE finished) {
    unsigned seen = g_windowProgress.load();
    for (DWORD waited = 0; waited < kStopLimitMs; waited += kStopSliceMs) {
        if (WaitServingCom(finished, kStopSliceMs)) return true;
        const unsigned now = g_windowProgress.load();
        if (now == seen) return false;  // stuck, not slow
        seen = now;
    }
    return false;
}

// With g_controlMutex held and g_controlBusy set.
bool StopLocked() {
    if (!g_thread) return true;
    if (!g_thread->finished.IsSet()) {
        SetEvent(g_thread->stopping.Get());
        // Posted, not sent: the window thread may first need this thread to serve a
        // call it is making to the host's object, which the wait below does.
        if (HWND setup = g_setupWindow.load()) PostMessageW(setup, WM_CLOSE, 0, 0);
        // A thread that does not finish in time keeps its record: it may still set the event.
        if (!WaitWhileProgressing(g_thread->finished.Get())) return false;
    }
    g_thread.reset();
    return true;
}

class BusyScope {
public:
    BusyScope() { g_controlBusy = true; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
    ~BusyScope() { g_controlBusy = false; }
};

}  // namespace

void StartWindowThread(HINSTANCE instance, WindowShared& shared, WindowState& windows, Env& env) {
    std::lock_guard<std::recursive_mutex> lock(g_controlMutex);
    if (g_controlBusy || g_unloading) return;
    BusyScope busy;
    if (!StopLocked()) return;
    auto record = std::make_unique<ThreadRecord>();
    if (!record->Valid()) return;
    auto start = std::make_unique<ThreadStart>(
        ThreadStart{instance, shared, windows, env, record->started.Get(), record->ready.Get(), record->finished.Get(),
                    record->stopping.Get()});
    // The thread's host calls take references to the module; what that needs is
    // looked up here, where the loader lock may be taken.
    PrepareModuleReference();
    PrepareDpiFunctions();
    HANDLE thread = CreateThread(nullptr, 0, WindowThreadMain, start.get(), 0, nullptr);
    if (!thread) return;
    start.release();  // the thread's now
    CloseHandle(thread);
    g_thread = std::move(record);
    // Until the thread has set up COM and its windows it may need the loader lock,
    // which an unload holds while it stops the thread: so let the set-up finish
    // here, serving the host calls it makes.
    if (WaitForSingleObject(g_thread->started.Get(), kStartWaitMs) == WAIT_OBJECT_0)
        WaitServingCom(g_thread->ready.Get(), kReadyWaitMs);
}

void StopWindowThread(bool unloading) {
    std::lock_guard<std::recursive_mutex> lock(g_controlMutex);
    if (unloading) g_unloading = true;
    if (g_controlBusy) return;
    BusyScope busy;
    StopLocked();
}

bool WindowThreadRunning() {
    std::lock_guard<std::recursive_mutex> lock(g_controlMutex);
    return g_thread && !g_thread->finished.IsSet();
}

bool PostUpdateWindows() {
    HWND setup = g_setupWindow.load();
    return setup && PostMessageW(setup, WM_UPDATE_WINDOWS, 0, 0);
}

void NoteWindowProgress() { ++g_windowProgress; }

bool PublishSetupWindow(HWND window, HANDLE stopping) {
    g_setupWindow = window;
    return WaitForSingleObject(stopping, 0) != WAIT_OBJECT_0;
}
