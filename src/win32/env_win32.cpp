#include "win32/env_win32.h"

#include <windows.h>

#include "base/settings.h"
#include "win32/header_dialog_win32.h"
#include "win32/owned_handle_win32.h"
#include "win32/window_thread_win32.h"

std::string Win32Env::ReadSetting(std::string_view key) {
    const std::string k(key);
    // The profile API cuts a value to the buffer without saying so; grow until it fits.
    for (DWORD size = 128; size <= (1u << 24); size *= 2) {
        std::string buf(size, '\0');
        DWORD n = GetPrivateProfileStringA(kSettingsSection, k.c_str(), "", buf.data(), size, kSettingsFile);
        if (n < size - 1) {
            buf.resize(n);
            return buf;
        }
    }
    return {};
}

void Win32Env::WriteSetting(std::string_view key, std::string_view value) {
    WritePrivateProfileStringA(kSettingsSection, std::string(key).c_str(), std::string(value).c_str(),
                               kSettingsFile);
}

std::optional<std::string> Win32Env::ReadSettingIfPresent(std::string_view key) {
    std::string value = ReadSetting(key);
    if (!value.empty()) return value;
    // An empty value and a missing key read alike; only a missing key yields the default.
    char probe[2] = {};
    GetPrivateProfileStringA(kSettingsSection, std::string(key).c_str(), "?", probe, sizeof probe, kSettingsFile);
    if (probe[0] == '?') return std::nullopt;
    return value;
}

std::vector<std::string> Win32Env::FindFiles(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    FindHandle search(FindFirstFileA(pattern.c_str(), &data));
    if (!search.Valid()) return names;
    do {
        names.emplace_back(data.cFileName);
    } while (FindNextFileA(search.Get(), &data));
    return names;
}

bool Win32Env::WindowsOpen() { return WindowThreadRunning(); }

void Win32Env::PostUpdateWindows() {
    // A request that finds no setup window (it is still starting) must not leave
    // the call check's latch closed.
    if (!::PostUpdateWindows()) windows_.updateLatch = 1;
}

void Win32Env::StartWindowThread() {
    ::StartWindowThread(instance_, shared_, windows_, *this, threadHoldsModule_);
}

void Win32Env::ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) {
    const std::string t(text), c(caption);
    UINT type = MB_OK | (icon == MessageIcon::information ? MB_ICONINFORMATION : 0);
    MessageBoxA(GetActiveWindow(), t.c_str(), c.empty() ? nullptr : c.c_str(), type);
}

bool Win32Env::RunCabrilloDialog(CabrilloHeaderFields& fields) { return RunCabrilloHeaderDialog(instance_, fields); }
