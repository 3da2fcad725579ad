// HostLink over helper threads. Each run of calls (an update, the start-up) gets
// one helper, which holds a reference to the module from before it starts until
// it ends with FreeLibraryAndExitThread. The window thread hands it one request at
// a time and waits a bound for the answer; a request not answered in time is
// abandoned, and the helper ends once the host answers it at last. An unload in
// the meantime is then completed by the helper: its reference is the last one.
#include "win32/host_link_win32.h"

#include <atomic>
#include <exception>
#include <string>

#include "win32/com_holders_win32.h"
#include "win32/event_win32.h"
#include "win32/host_dispatch_win32.h"
#include "win32/message_wait_win32.h"
#include "win32/module_reference_win32.h"

HostLink* g_hostLink = nullptr;

// Shared by the window thread and one helper. The window thread writes the
// request before setting `request`; the helper writes the answer before it marks
// the phase answered. An abandoned helper touches nothing but this.
enum class HostLink::Op : int { connect, frequency, getField, runCommand, setField };

struct HostLink::Helper {
    enum Phase : int { idle, pending, answered, abandoned };

    Event request{false};
    Event done{false};
    Event quit{true};

    Op op = Op::connect;
    int index = 0;
    std::string text;

    bool absent = false;  // connect: no host object is running
    bool refused = false;
    std::string error;
    double number = 0.0;
    std::string answer;

    std::atomic<int> phase{idle};

    bool Valid() const { return request.Get() && done.Get() && quit.Get(); }
};

namespace {

using Helper = HostLink::Helper;
using Op = HostLink::Op;

// A stop abandons a call that may be answered a moment later; the next run waits
// this long for such a call before it treats the host as stalled.
constexpr DWORD kStalledGraceMs = 100;
constexpr DWORD kStalledPollMs = 10;

// Calls given up on that the host has not answered yet, module-wide: while one
// is out, no new helper is started, so a hung host holds at most one thread.
std::atomic<int> g_stalledCalls{0};

struct HelperStart {
    std::shared_ptr<Helper> helper;
    HMODULE module;
};

void Answer(Helper& h, HostDispatch& host) {
    h.refused = false;
    try {
        switch (h.op) {
            case Op::connect:
                host.Connect();
                h.absent = !host.Connected();
                break;
            case Op::frequency: h.number = host.GetFrequency(); break;
            case Op::getField: h.answer = host.GetEntryField(h.index); break;
            case Op::runCommand: host.RunCommand(h.text); break;
            case Op::setField: host.SetEntryField(h.index, h.text); break;
        }
    } catch (const std::exception& e) {
        h.refused = true;
        h.error = e.what();
    }
}

void Serve(Helper& h) {
    // The host's object lives in the host's apartment; calling it from the
    // multithreaded one needs no message loop here.
    ComApartment apartment(COINIT_MULTITHREADED);
    HostDispatch host;
    const HANDLE waits[2] = {h.quit.Get(), h.request.Get()};
    for (;;) {
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
        Answer(h, host);
        int expected = Helper::pending;
        if (!h.phase.compare_exchange_strong(expected, Helper::answered)) {
            --g_stalledCalls;  // answered at last; nobody waits for it any more
            return;
        }
        SetEvent(h.done.Get());
    }
}

DWORD WINAPI HelperMain(LPVOID param) {
    HMODULE module = nullptr;
    {
        std::unique_ptr<HelperStart> start(static_cast<HelperStart*>(param));
        module = start->module;
        try {
            Serve(*start->helper);
        } catch (...) {
        }
    }
    // Maybe the module's last reference: its unload then runs here, and no code
    // of the module runs after it.
    FreeLibraryAndExitThread(module, 0);
    return 0;
}

std::shared_ptr<Helper> StartHelper(HANDLE stopping, DWORD boundMs) {
    auto helper = std::make_shared<Helper>();
    if (!helper->Valid()) return nullptr;
    auto start = std::make_unique<HelperStart>(HelperStart{helper, nullptr});
    start->module = TakeModuleReference(stopping, boundMs);
    if (!start->module) return nullptr;
    HANDLE thread = CreateThread(nullptr, 0, HelperMain, start.get(), 0, nullptr);
    // Without the thread its reference stays taken: dropping it here could unmap
    // the module under this very thread. The module then stays loaded.
    if (!thread) return nullptr;
    start.release();  // the helper's now
    CloseHandle(thread);
    return helper;
}

bool NoStalledCall(HANDLE stopping) {
    const DWORD start = GetTickCount();
    while (g_stalledCalls.load() > 0) {
        if (GetTickCount() - start >= kStalledGraceMs) return false;
        if (WaitServingSentMessages(&stopping, 1, kStalledPollMs) == 0) return false;
    }
    return true;
}

}  // namespace

HostLink::HostLink(HANDLE stopping, DWORD boundMs) : stopping_(stopping), boundMs_(boundMs) {}

HostLink::~HostLink() { EndCalls(); }

void HostLink::Connect() {
    found_ = true;
    BeginCalls();
    if (helper_ && helper_->absent) {
        found_ = false;
        EndCalls();
    }
}

void HostLink::BeginCalls() {
    EndCalls();
    if (!found_ || !NoStalledCall(stopping_)) return;
    helper_ = StartHelper(stopping_, boundMs_);
    if (!helper_) return;
    helper_->op = Op::connect;
    try {
        Ask(*helper_);
    } catch (const HostError&) {
        EndCalls();
    }
}

void HostLink::EndCalls() {
    if (!helper_) return;
    SetEvent(helper_->quit.Get());
    helper_.reset();
}

void HostLink::Disconnect() {
    EndCalls();
    found_ = false;
}

bool HostLink::Connected() const { return found_ && helper_ && !helper_->absent; }

void HostLink::Ask(Helper& h) {
    h.phase = Helper::pending;
    SetEvent(h.request.Get());
    const HANDLE waits[2] = {h.done.Get(), stopping_};
    if (WaitServingSentMessages(waits, 2, boundMs_) != 0) {
        ++g_stalledCalls;
        int expected = Helper::pending;
        if (h.phase.compare_exchange_strong(expected, Helper::abandoned)) {
            EndCalls();
            throw HostError("the host did not answer in time");
        }
        --g_stalledCalls;  // answered just now after all
        WaitForSingleObject(h.done.Get(), INFINITE);  // set right after the answer
    }
    h.phase = Helper::idle;
    if (h.refused) throw HostError(h.error);
}

HostLink::Helper& HostLink::Call(Op op, int index, std::string_view text) {
    if (!Connected()) throw HostError("no call to the host can be made now");
    Helper& h = *helper_;
    h.op = op;
    h.index = index;
    h.text = text;
    Ask(h);
    return h;
}

double HostLink::GetFrequency() { return found_ ? Call(Op::frequency).number : 0.0; }

std::string HostLink::GetEntryField(int index) { return found_ ? Call(Op::getField, index).answer : std::string(); }

void HostLink::RunCommand(std::string_view command) {
    if (found_) Call(Op::runCommand, 0, command);
}

void HostLink::SetEntryField(int index, std::string_view text) {
    if (found_) Call(Op::setField, index, text);
}
