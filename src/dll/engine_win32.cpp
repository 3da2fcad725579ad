#include "dll/engine_win32.h"

#include <windows.h>

#include <string>

#include "dll/app_win32.h"
#include "dll/local_exports_win32.h"
#include "win32/owned_handle_win32.h"
#include "win32/window_thread_win32.h"

namespace {

enum class Role { undecided, alone, shell, engine };

using DetachFn = void(__cdecl*)();

constexpr LONGLONG kLargestModule = 64LL << 20;

// Set on the host's thread: at the first export, or by Attach when a shell makes
// this module its engine.
Role g_role = Role::undecided;
export_layout::ExportTable g_engineExports{};
DetachFn g_engineDetach = nullptr;

std::wstring ModulePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool ReadAll(const std::wstring& path, std::string& bytes) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.Valid() || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > kLargestModule) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    return ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size();
}

// Only this very build serves as the engine: another might answer otherwise.
bool SameBuild(const std::wstring& self, const std::wstring& engine) {
    std::string a, b;
    return ReadAll(self, a) && ReadAll(engine, b) && a == b;
}

// The shell's reference to the engine, dropped once the loader lock is free: by a
// thread whose code is the engine's, the one kind that may drop the last reference.
DWORD WINAPI DropShellReference(LPVOID) { FreeLibraryAndExitThread(ModuleInstance(), 0); }

// A shell's first call: this module is its engine from now on, with a fresh
// application object. Runs outside the loader lock.
BOOL __cdecl Attach() {
    try {
        g_role = Role::engine;
        AllowWindowThreadAgain();
        RenewApp(true);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

// The shell's exit step, under the loader lock: stop the window thread and wait
// as an unload does; a thread that does not finish keeps the engine loaded.
void __cdecl Detach() {
    try {
        ExitApp();
    } catch (...) {
    }
    // Without the thread the engine stays loaded: nothing of it runs, nothing is lost.
    if (HANDLE thread = CreateThread(nullptr, 0, DropShellReference, nullptr, 0, nullptr)) CloseHandle(thread);
}

// What a shell calls in its engine, by no export: the DLL has the eleven the host
// knows and no more. Shell and engine are one file, so this table lies at the same
// offset in both images, and the engine's copy points into the engine.
struct EngineCalls {
    BOOL(__cdecl* attach)();
    void(__cdecl* detach)();
    const export_layout::ExportTable* exports;
};
const EngineCalls kEngineCalls{Attach, Detach, &kLocalExports};

const EngineCalls& CallsIn(HMODULE engine) {
    const auto offset =
        reinterpret_cast<const char*>(&kEngineCalls) - reinterpret_cast<const char*>(ModuleInstance());
    return *reinterpret_cast<const EngineCalls*>(reinterpret_cast<const char*>(engine) + offset);
}

// In an export, where LoadLibrary may run.
bool LoadEngine() {
    const std::wstring self = ModulePath(ModuleInstance());
    const size_t slash = self.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return false;
    const std::wstring path = self.substr(0, slash + 1) + kEngineFile;
    if (!SameBuild(self, path)) return false;
    HMODULE engine = LoadLibraryW(path.c_str());
    if (!engine) return false;
    if (engine != ModuleInstance()) {
        const EngineCalls& calls = CallsIn(engine);
        if (calls.attach()) {
            g_engineExports = *calls.exports;
            g_engineDetach = calls.detach;
            return true;
        }
    }
    FreeLibrary(engine);
    return false;
}

Role Decide() noexcept {
    try {
        return LoadEngine() ? Role::shell : Role::alone;
    } catch (...) {
        return Role::alone;
    }
}

}  // namespace

const export_layout::ExportTable& Exports() {
    if (g_role == Role::undecided) g_role = Decide();
    return g_role == Role::shell ? g_engineExports : kLocalExports;
}

void DetachModule() {
    switch (g_role) {
        case Role::shell:
            g_engineDetach();
            break;
        case Role::alone:
        case Role::engine:  // the engine's last reference went: no thread of ours is left in it
            ExitApp();
            break;
        case Role::undecided:
            break;
    }
}

