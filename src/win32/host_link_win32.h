// HostLink: the window thread's link to the host's automation object. Every call
// runs on a helper thread and is given up when the host does not answer within
// a bound, so the window thread never waits on the host for long and a stop never
// waits behind a stalled host. COM cannot cancel a call under Wine 8, so the
// helper is left to finish it; it holds a reference to the module until then.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

#include "base/host_automation.h"

// How long the window thread waits for one answer of the host.
inline constexpr DWORD kHostCallBoundMs = 1000;

class HostLink final : public HostAutomation {
public:
    // `stopping` is set once the window thread is asked to stop: a call being
    // waited for is then given up at once.
    explicit HostLink(HANDLE stopping, DWORD boundMs = kHostCallBoundMs);
    ~HostLink() override;
    HostLink(const HostLink&) = delete;
    HostLink& operator=(const HostLink&) = delete;

    // At the setup window's initialisation: looks for the running host and
    // begins the calls of the start-up. A host not running then is not looked for
    // again by this link.
    void Connect();
    // The calls of one update run on one helper thread, from BeginCalls to EndCalls.
    void BeginCalls();
    void EndCalls();
    void Disconnect();

    // True while a helper is connected to the host.
    bool Connected() const override;
    double GetFrequency() override;
    std::string GetEntryField(int index) override;
    void RunCommand(std::string_view command) override;
    void SetEntryField(int index, std::string_view text) override;

    struct Helper;
    enum class Op : int;

private:
    // Hands the request over to the helper and waits for its answer; throws
    // HostError on a refusal, a time-out or a stop.
    void Ask(Helper& helper);
    // One call of the update: the helper then holds its answer.
    Helper& Call(Op op, int index = 0, std::string_view text = {});

    HANDLE stopping_;
    DWORD boundMs_;
    bool found_ = false;  // the host was running at the last Connect
    std::shared_ptr<Helper> helper_;
};

// The calls of one update as a scope.
class HostCalls {
public:
    explicit HostCalls(HostLink& link) : link_(link) { link_.BeginCalls(); }
    ~HostCalls() { link_.EndCalls(); }
    HostCalls(const HostCalls&) = delete;
    HostCalls& operator=(const HostCalls&) = delete;

private:
    HostLink& link_;
};

// The window thread's link while that thread runs, otherwise null.
extern HostLink* g_hostLink;
