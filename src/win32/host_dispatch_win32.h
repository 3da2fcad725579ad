// HostDispatch: the host's running automation object ("Tevo2.Application"),
// called by IDispatch::Invoke with fixed dispatch ids. Used on the helper thread
// of one run of host calls (host_link_win32.h), which may wait in it for as long
// as the host takes.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "win32/com_holders_win32.h"
#include "base/host_automation.h"

class HostDispatch final : public HostAutomation {
public:
    // Finds the running host on the calling thread, whose apartment must be
    // initialised; without one it stays empty.
    void Connect();
    void Disconnect() { dispatch_.Reset(); }

    bool Connected() const override { return static_cast<bool>(dispatch_); }
    double GetFrequency() override;
    std::string GetEntryField(int index) override;
    void RunCommand(std::string_view command) override;
    void SetEntryField(int index, std::string_view text) override;

private:
    // Invokes `id` with the arguments in call order; throws HostError on failure.
    void Invoke(DISPID id, WORD flags, VARIANT* args, UINT count, VARIANT* result);

    ComPtr<IDispatch> dispatch_;
};
