// Win32Env: the core's Env over the Windows API (profile functions, FindFirstFileA,
// MessageBoxA, the header dialog) and the window thread (win32/window_thread_win32).
#pragma once

#include <windows.h>

#include "base/env.h"
#include "contest/contest_state.h"
#include "ui/window_state.h"

class Win32Env final : public Env {
public:
    // `instance`: the module whose dialog templates the windows use. `shared` and
    // `windows`: what the window thread shows and its latch, owned by the caller
    // and outliving every window thread started here. `threadHoldsModule`: each
    // window thread keeps the module loaded until it has left its code (the
    // engine's way, see dll/engine_win32.h).
    Win32Env(HINSTANCE instance, WindowShared& shared, WindowState& windows, bool threadHoldsModule)
        : instance_(instance), shared_(shared), windows_(windows), threadHoldsModule_(threadHoldsModule) {}

    std::string ReadSetting(std::string_view key) override;
    void WriteSetting(std::string_view key, std::string_view value) override;
    std::optional<std::string> ReadSettingIfPresent(std::string_view key) override;
    std::vector<std::string> FindFiles(const std::string& pattern) override;
    bool WindowsOpen() override;
    void PostUpdateWindows() override;
    void StartWindowThread() override;
    void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) override;
    bool RunCabrilloDialog(CabrilloHeaderFields& fields) override;
    // Sealed with DPAPI for the current Windows user, as hex digits.
    std::optional<std::string> ProtectSecret(std::string_view secret) override;
    std::optional<std::string> UnprotectSecret(std::string_view sealed) override;

private:
    HINSTANCE instance_;
    WindowShared& shared_;
    WindowState& windows_;
    bool threadHoldsModule_;
};
