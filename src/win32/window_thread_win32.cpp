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
#include "win32/setup_dialog_win32.h"
#include "win32/window_context_win32.h"
#include "win32/window_signals_win32.h"

namespace {

constexpr DWORD kStartWaitMs = 5000;
// A stop waits in slices for as long as the window thread shows progress in each,
// up to the limit: on a slow desktop each DestroyWindow may take seconds. A thread
// that holds its module may be given up on after a short slice, since the module
// stays loaded until the thread has left it. One that does not hold it is
// unmapped under it when the unload gives up, so its slice is long.
constexpr DWORD kHeldStopSliceMs = 5000;
constexpr DWORD kUnheldStopSliceMs = 20000;
constexpr DWORD kStopLimitMs = 60000;

// One window thread's hand-shakes. Only the controlling side frees it, and only
// once `finished` is set: after setting it the thread touches nothing of ours.
struct ThreadRecord {
    Event started;   // the thread runs the module's code
    Event ready;     // its windows are up, updated and painted
    Event finished;  // it is done with the module's code
    Event stopping;  // it is asked to stop: a host call it waits for is given up
    bool holdsModule = false;  // it keeps the module loaded until it has left its code
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
    HMODULE module;  // the thread's own reference to the module, or null
};

// Recursive, and `g_controlBusy` set while Start or Stop waits: the waits serve
// messages, through which the host may call the module again on this thread.
std::recursive_mutex g_controlMutex;       // guards g_thread and g_controlBusy
std::unique_ptr<ThreadRecord> g_thread;    // the window thread, until it is seen finished
bool g_controlBusy = false;
std::atomic<bool> g_unloading{false};

void RunWindowThread(const ThreadStart& start) {
    // Before any window: each window keeps the awareness of its thread's at creation.
    const DpiAwareness awareness = MakeThreadPerMonitorAware();
    NoteWindowProgress();
    ComApartment apartment;
    NoteWindowProgress();
    HostLink link(start.stopping);
    g_hostLink = &link;
    WindowContext ctx{start.instance, start.shared, start.windows, start.env, link};
    ctx.ready = start.ready;
    ctx.stopping = start.stopping;
    ctx.dpiAwareness = awareness;
    RunSetupDialog(ctx);
    SetEvent(start.ready);  // also when the window never came up
    ClearSetupWindow();
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
    HMODULE module = nullptr;
    {
        std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(param));
        finished = start->finished;
        module = start->module;
        SetEvent(start->started);
        try {
            RunWindowThread(*start);
        } catch (...) {
        }
    }
    // From here on no code of the module may run unless the thread holds it: an
    // unload may be waiting for this. FreeLibraryAndExitThread leaves the module's
    // code before it waits for the loader lock that such an unload holds.
    SetEvent(finished);
    if (module) FreeLibraryAndExitThread(module, 0);
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

bool WaitWhileProgressing(HANDLE event, DWORD sliceMs) {
    unsigned seen = WindowProgress();
    for (DWORD waited = 0; waited < kStopLimitMs; waited += sliceMs) {
        if (WaitServingCom(event, sliceMs)) return true;
        const unsigned now = WindowProgress();
        if (now == seen) return false;  // stuck, not slow
        seen = now;
    }
    return false;
}

DWORD SliceFor(const ThreadRecord& thread) { return thread.holdsModule ? kHeldStopSliceMs : kUnheldStopSliceMs; }

// With g_controlMutex held and g_controlBusy set.
bool StopLocked() {
    if (!g_thread) return true;
    if (!g_thread->finished.IsSet()) {
        SetEvent(g_thread->stopping.Get());
        // Posted, not sent: the window thread may first need this thread to serve a
        // call it is making to the host's object, which the wait below does.
        if (HWND setup = SetupWindow()) PostMessageW(setup, WM_CLOSE, 0, 0);
        // A thread that does not finish in time keeps its record: it may still set the event.
        if (!WaitWhileProgressing(g_thread->finished.Get(), SliceFor(*g_thread))) return false;
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

void StartWindowThread(HINSTANCE instance, WindowShared& shared, WindowState& windows, Env& env, bool holdModule) {
    std::lock_guard<std::recursive_mutex> lock(g_controlMutex);
    if (g_controlBusy || g_unloading) return;
    BusyScope busy;
    if (!StopLocked()) return;
    auto record = std::make_unique<ThreadRecord>();
    if (!record->Valid()) return;
    // Taken here, in an export, where the loader lock is free.
    HMODULE module = nullptr;
    if (holdModule && !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                          reinterpret_cast<LPCWSTR>(&WindowThreadMain), &module))
        return;
    record->holdsModule = module != nullptr;
    auto start = std::make_unique<ThreadStart>(ThreadStart{instance, shared, windows, env, record->started.Get(),
                                                           record->ready.Get(), record->finished.Get(),
                                                           record->stopping.Get(), module});
    // The thread's host calls take references to the module; what that needs is
    // looked up here, where the loader lock may be taken.
    PrepareModuleReference();
    PrepareDpiFunctions();
    HANDLE thread = CreateThread(nullptr, 0, WindowThreadMain, start.get(), 0, nullptr);
    if (!thread) {
        if (module) FreeLibrary(module);  // never the last: the caller's module holds it too
        return;
    }
    start.release();  // the thread's now
    CloseHandle(thread);
    g_thread = std::move(record);
    // Until the thread has set up COM and its windows it needs the loader lock
    // again and again (COM's window class loads the display driver, an icon goes
    // through it), and an unload holds that lock while it stops the thread: so let
    // the set-up finish here, serving the host calls it makes, for as long as it
    // shows progress. A fixed five seconds ran out on a loaded machine, and the
    // unload that followed found the set-up waiting for its lock.
    if (WaitForSingleObject(g_thread->started.Get(), kStartWaitMs) == WAIT_OBJECT_0)
        WaitWhileProgressing(g_thread->ready.Get(), SliceFor(*g_thread));
}

bool StopWindowThread(bool unloading) {
    std::lock_guard<std::recursive_mutex> lock(g_controlMutex);
    if (unloading) g_unloading = true;
    if (g_controlBusy) return !g_thread || g_thread->finished.IsSet();
    BusyScope busy;
    return StopLocked();
}

void AllowWindowThreadAgain() { g_unloading = false; }

bool WindowThreadRunning() {
    std::lock_guard<std::recursive_mutex> lock(g_controlMutex);
    return g_thread && !g_thread->finished.IsSet();
}

bool PostUpdateWindows() {
    HWND setup = SetupWindow();
    return setup && PostMessageW(setup, WM_UPDATE_WINDOWS, 0, 0);
}
