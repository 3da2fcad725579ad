#include "win32/env_win32.h"

#include <windows.h>
#include <wincrypt.h>

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

namespace {

// DPAPI's output, freed with LocalFree.
class LocalBlob {
public:
    LocalBlob() = default;
    LocalBlob(const LocalBlob&) = delete;
    LocalBlob& operator=(const LocalBlob&) = delete;
    ~LocalBlob() {
        if (blob.pbData) LocalFree(blob.pbData);
    }
    DATA_BLOB blob{};
};

DATA_BLOB BlobOf(std::string_view bytes) {
    return DATA_BLOB{static_cast<DWORD>(bytes.size()), reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()))};
}

}  // namespace

std::optional<std::string> Win32Env::ProtectSecret(std::string_view secret) {
    DATA_BLOB in = BlobOf(secret);
    LocalBlob out;
    if (!CryptProtectData(&in, L"VERDA-WW-DX live score key", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                          &out.blob))
        return std::nullopt;
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (DWORD i = 0; i < out.blob.cbData; ++i) {
        hex += kDigits[out.blob.pbData[i] >> 4];
        hex += kDigits[out.blob.pbData[i] & 15];
    }
    return hex;
}

std::optional<std::string> Win32Env::UnprotectSecret(std::string_view sealed) {
    auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1; };
    if (sealed.size() % 2) return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < sealed.size(); i += 2) {
        const int hi = digit(sealed[i]), lo = digit(sealed[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes += static_cast<char>(hi * 16 + lo);
    }
    DATA_BLOB in = BlobOf(bytes);
    LocalBlob out;
    if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out.blob))
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(out.blob.pbData), out.blob.cbData);
}
