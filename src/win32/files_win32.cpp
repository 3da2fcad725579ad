#include "win32/files_win32.h"

#include <windows.h>

#include "win32/owned_handle_win32.h"
#include "win32/wide_text_win32.h"

namespace {

// Shared as the C library shares its files, so the operator can read them and
// other programs can open them meanwhile.
constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

std::wstring Name(const std::string& path) { return WideFrom(path, CP_ACP); }

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool Write(const std::string& path, DWORD access, DWORD disposition, std::string_view bytes) {
    if (path.empty()) return false;
    FileHandle f(CreateFileW(Name(path).c_str(), access, kShare, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid()) return false;
    const bool ok = WriteAll(f.Get(), bytes);
    return f.Close() && ok;
}

}  // namespace

Files::ReadResult Win32Files::ReadWhole(const std::string& path, std::string& bytes) {
    bytes.clear();
    if (path.empty()) return ReadResult::unreadable;
    FileHandle f(CreateFileW(Name(path).c_str(), GENERIC_READ, kShare, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr));
    if (!f.Valid()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::missing
                                                                               : ReadResult::unreadable;
    }
    char block[16384];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(f.Get(), block, sizeof block, &got, nullptr)) return ReadResult::unreadable;
        if (got == 0) return ReadResult::ok;
        bytes.append(block, got);
    }
}

bool Win32Files::Append(const std::string& path, std::string_view bytes) {
    return Write(path, FILE_APPEND_DATA | SYNCHRONIZE, OPEN_ALWAYS, bytes);
}

bool Win32Files::Create(const std::string& path, std::string_view bytes) {
    return Write(path, GENERIC_WRITE, CREATE_ALWAYS, bytes);
}

bool Win32Files::ReplaceWhole(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    const std::string fresh = path + ".new";
    if (Write(fresh, GENERIC_WRITE, CREATE_ALWAYS, bytes) &&
        MoveFileExW(Name(fresh).c_str(), Name(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(Name(fresh).c_str());
    return false;
}
