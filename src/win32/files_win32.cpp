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

LONGLONG Ticks(FILETIME t) { return static_cast<LONGLONG>((ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime); }

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
    if (path.empty()) return false;
    MutexLock hold(lock_);
    if (kept_.Valid() && (keptPath_ != path || !KeptFileStillNamed())) CloseKeptLocked();
    if (!kept_.Valid()) {
        keptName_ = Name(path);
        // Renaming and deleting are shared too: the operator may tidy up while the host runs.
        kept_.Reset(CreateFileW(keptName_.c_str(), FILE_APPEND_DATA | SYNCHRONIZE, kShare | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!kept_.Valid()) return false;
        keptPath_ = path;
    }
    const bool written = WriteAll(kept_.Get(), bytes);
    if (!written) CloseKeptLocked();
    return written;
}

void Win32Files::CloseKept() {
    MutexLock hold(lock_);
    CloseKeptLocked();
}

void Win32Files::CloseKeptLocked() {
    kept_.Close();
    keptPath_.clear();
}

void Win32Files::CloseKeptIfNamed(const std::string& path) {
    MutexLock hold(lock_);
    if (keptPath_ == path) CloseKeptLocked();
}

// The name still shows the kept file, and it is writable. A file put in its place
// differs in its size or its times, which Wine keeps to the kernel's tick: a copy
// keeps the time of its last write, not that of its creation. Windows refuses to
// look up a file whose deletion waits for its last handle, or says it is pending;
// Wine does neither, and keeps the file under its name until that handle goes.
bool Win32Files::KeptFileStillNamed() {
    WIN32_FILE_ATTRIBUTE_DATA named;
    if (!GetFileAttributesExW(keptName_.c_str(), GetFileExInfoStandard, &named)) return false;
    if (named.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
    FILE_BASIC_INFO times;
    FILE_STANDARD_INFO size;
    if (!GetFileInformationByHandleEx(kept_.Get(), FileBasicInfo, &times, sizeof times) ||
        !GetFileInformationByHandleEx(kept_.Get(), FileStandardInfo, &size, sizeof size) || size.DeletePending)
        return false;
    const ULONGLONG namedSize = (ULONGLONG{named.nFileSizeHigh} << 32) | named.nFileSizeLow;
    return static_cast<ULONGLONG>(size.EndOfFile.QuadPart) == namedSize &&
           times.CreationTime.QuadPart == Ticks(named.ftCreationTime) &&
           times.LastWriteTime.QuadPart == Ticks(named.ftLastWriteTime);
}

bool Win32Files::Create(const std::string& path, std::string_view bytes) {
    CloseKeptIfNamed(path);
    return Write(path, GENERIC_WRITE, CREATE_ALWAYS, bytes);
}

bool Win32Files::ReplaceWhole(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    CloseKeptIfNamed(path);
    const std::string fresh = path + ".new";
    if (Write(fresh, GENERIC_WRITE, CREATE_ALWAYS, bytes) &&
        MoveFileExW(Name(fresh).c_str(), Name(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(Name(fresh).c_str());
    return false;
}
