#include "win32/module_reference_win32.h"

#include <atomic>

#include "win32/message_wait_win32.h"

namespace {

// ntdll's loader-lock calls: stable since Windows XP, and in Wine.
using LockLoaderLock = LONG(NTAPI*)(ULONG flags, ULONG* disposition, ULONG_PTR* cookie);
using UnlockLoaderLock = LONG(NTAPI*)(ULONG flags, ULONG_PTR cookie);
constexpr ULONG kTryOnly = 0x2;
constexpr ULONG kAcquired = 1;
constexpr DWORD kRetryMs = 2;

std::atomic<LockLoaderLock> g_lock{nullptr};
std::atomic<UnlockLoaderLock> g_unlock{nullptr};

HMODULE TryTake() {
    const LockLoaderLock lock = g_lock.load();
    const UnlockLoaderLock unlock = g_unlock.load();
    if (!lock || !unlock) return nullptr;
    ULONG disposition = 0;
    ULONG_PTR cookie = 0;
    if (lock(kTryOnly, &disposition, &cookie) < 0 || disposition != kAcquired) return nullptr;
    // With the lock held no unload is under way, so the module is still counted
    // as loaded, and this lookup takes the lock again without waiting.
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&TryTake), &module))
        module = nullptr;
    unlock(0, cookie);
    return module;
}

}  // namespace

void PrepareModuleReference() {
    if (g_lock.load() && g_unlock.load()) return;
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return;
    g_lock = reinterpret_cast<LockLoaderLock>(reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrLockLoaderLock")));
    g_unlock =
        reinterpret_cast<UnlockLoaderLock>(reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrUnlockLoaderLock")));
}

HMODULE TakeModuleReference(HANDLE stop, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HMODULE module = TryTake()) return module;
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        // The lock may be held briefly by any thread that loads a DLL or starts or
        // ends a thread; an unload that holds it sets `stop`.
        if (WaitServingSentMessages(&stop, 1, kRetryMs) == 0) return nullptr;
    }
}
