#include "typed_calls_win32.h"

#include <windows.h>

#include <cstdio>
#include <deque>
#include <iostream>
#include <mutex>
#include <optional>
#include <thread>

#include "automation_object.h"
#include "logs/callsign.h"
#include "logs/text.h"
#include "replay_plan.h"
#include "stand_in_host.h"
#include "text_files_win32.h"
#include "win32/event_win32.h"

namespace {

constexpr int kCallField = 5;  // the entry field of the call being entered

// The console's lines, read on a thread of their own so that this one can serve
// COM while it waits for them. Shared with that thread, which may outlive us.
struct Lines {
    Event ready{false};
    std::mutex lock;
    std::deque<std::optional<std::string>> queue;  // nullopt: the input ended

    void Push(std::optional<std::string> line) {
        {
            std::lock_guard<std::mutex> hold(lock);
            queue.push_back(std::move(line));
        }
        SetEvent(ready.Get());
    }
    bool Pop(std::optional<std::string>& line) {
        std::lock_guard<std::mutex> hold(lock);
        if (queue.empty()) return false;
        line = std::move(queue.front());
        queue.pop_front();
        return true;
    }
};

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Prompt() {
    std::printf("call> ");
    std::fflush(stdout);
}

}  // namespace

// Tevo checks the call at every keystroke; the check also asks the windows to follow it.
int TypedCalls::Check(const StatsDll& dll, const CountryFile& cty, const std::string& call) const {
    const CallAnalysis station = AnalyseCall(cty, call);
    CheckCallArgs check;
    check.call = call.c_str();
    check.mode = "RTTY";
    check.prefix = station.prefix.c_str();
    check.country = station.country.c_str();
    check.continent = station.continent.c_str();
    check.band = band_.c_str();
    check.band2 = band_.c_str();
    return dll.CheckCall0(check);
}

struct TypedCalls::Parts {
    ComThread com;
    HostAutomationObject host;
};

TypedCalls::TypedCalls(std::string band, std::uint64_t hertz) : band_(std::move(band)), parts_(std::make_unique<Parts>()) {
    parts_->host.frequencyHz = static_cast<double>(hertz);
}

TypedCalls::~TypedCalls() = default;

bool TypedCalls::offered() const { return parts_->host.registered(); }

void TypedCalls::Run(const StatsDll& dll, const CountryFile& cty) {
    HostAutomationObject& host = parts_->host;
    auto lines = std::make_shared<Lines>();
    // Detached: it may still be blocked in a read when we are done.
    std::thread([lines] {
        for (std::string line; std::getline(std::cin, line);) {
            const bool last = Trim(line).empty();
            lines->Push(std::move(line));
            if (last) return;
        }
        lines->Push(std::nullopt);
    }).detach();

    // The windows last looked at the log before it was replayed; Tevo's next
    // keystroke would have them look again.
    Check(dll, cty, "");
    Prompt();
    for (;;) {
        PumpMessages();
        const HANDLE ready = lines->ready.Get();
        if (MsgWaitForMultipleObjects(1, &ready, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) continue;
        for (std::optional<std::string> line; lines->Pop(line);) {
            const std::string call = line ? ToUpper(Trim(*line)) : std::string();
            if (call.empty()) return;
            if (HasControlByte(call)) {
                Prompt();
                continue;
            }
            host.calls.clear();  // only tests read them; kept short for a long session
            host.fields[kCallField] = ScriptedField::Text(Widen(call));
            const int verdict = Check(dll, cty, call);
            std::printf("%s on %s: %s\n", Printable(call).c_str(), band_.c_str(), CallVerdict(verdict).c_str());
            Prompt();
        }
    }
}
