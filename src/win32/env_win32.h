// Win32Env: the core's Env over the Windows API (profile functions, FindFirstFileA,
// MessageBoxA). Window-thread calls go to the window thread (ui/window_thread_win32).
#pragma once

#include "base/env.h"

class Win32Env final : public Env {
public:
    std::string ReadSetting(std::string_view key) override;
    void WriteSetting(std::string_view key, std::string_view value) override;
    std::optional<std::string> ReadSettingIfPresent(std::string_view key) override;
    std::vector<std::string> FindFiles(const std::string& pattern) override;
    bool WindowsOpen() override;
    void PostUpdateWindows() override;
    void StartWindowThread() override;
    void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) override;
    bool RunCabrilloDialog(CabrilloHeaderFields& fields) override;
};
