#include "text_files_win32.h"

#include <windows.h>

#include <algorithm>

#include "logs/input_error.h"
#include "win32/owned_handle_win32.h"

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string ToAnsi(const std::string& utf8) {
    const std::wstring wide = Widen(utf8);
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

bool PathExists(const std::string& utf8Path) {
    return GetFileAttributesW(Widen(utf8Path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadWholeFile(const std::string& utf8Path) {
    const std::string shown = ToAnsi(utf8Path);
    FileHandle file(CreateFileW(Widen(utf8Path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) throw InputError(shown + ": cannot open the file");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF)
        throw InputError(shown + ": cannot read the file");
    std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD done = 0;
    for (std::size_t at = 0; at < text.size(); at += done) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(text.size() - at, 1 << 20));
        if (!ReadFile(file.Get(), text.data() + at, want, &done, nullptr)) throw InputError(shown + ": cannot read the file");
        if (done == 0) {
            text.resize(at);
            break;
        }
    }
    return text;
}

bool WriteWholeFile(const std::wstring& path, const std::string& text) {
    const std::wstring temp = path + L".part";
    bool written = false;
    {
        FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return false;
        DWORD done = 0;
        written = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &done, nullptr) &&
                  done == text.size();
    }
    if (!written || !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

std::map<std::string, std::uint64_t> WriteTimes(const std::wstring& pattern) {
    std::map<std::string, std::uint64_t> files;
    WIN32_FIND_DATAW found{};
    FindHandle find(FindFirstFileW(pattern.c_str(), &found));
    if (!find.Valid()) return files;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        files[Utf8(found.cFileName)] =
            (static_cast<std::uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) | found.ftLastWriteTime.dwLowDateTime;
    } while (FindNextFileW(find.Get(), &found));
    return files;
}
