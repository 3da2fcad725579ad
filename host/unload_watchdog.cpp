#include "unload_watchdog.h"

#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "window_driver.h"

// winedbg cannot attach here (Wine under qemu-user refuses it, error 5), and a
// debugger's break-in thread would wait for the loader lock that the unload
// holds. So the watchdog reads the other threads itself: it suspends each, takes
// its registers, and lists the words on its stack that are return addresses into
// a loaded image (a call instruction just before them), named by the image's
// nearest export. While the unload runs it calls only the kernel: no loader
// function (they take the loader lock), no heap (a suspended thread may hold its
// lock), no C library.

namespace {

// Longer than any unload of a quiet machine, shorter than the stop's first slice.
constexpr DWORD kWatchMs = 3000;
constexpr int kMaxCaptures = 3;
constexpr int kMaxFrames = 48;
constexpr int kMaxThreads = 256;

using ThreadInfoFn = LONG(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
using ProcessesFn = LONG(NTAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);

// ntdll's ThreadBasicInformation (class 0), which the headers leave out.
struct ThreadBasics {
    LONG exitStatus;
    NT_TIB* teb;
    void* clientId[2];
    ULONG_PTR affinity;
    LONG priority;
    LONG basePriority;
};

struct Watch {
    std::mutex mutex;           // guards everything below but the events
    HANDLE armed = nullptr;     // set while a FreeLibrary runs
    HANDLE finished = nullptr;  // set once it has returned
    ThreadInfoFn threadInfo = nullptr;
    ProcessesFn processes = nullptr;
    char module[MAX_PATH + 32] = {};  // what is being unloaded, and where
    char file[MAX_PATH] = {};         // where the next capture goes
    DWORD unloadingThread = 0;
    char lastFile[MAX_PATH] = {};  // the last capture's
    int captures = 0;
};

Watch& TheWatch() {
    static Watch w;
    return w;
}

// Text built in place, written out a thread at a time.
struct Text {
    char data[16384];
    std::size_t size = 0;
    void Add(const char* s) {
        while (*s && size + 1 < sizeof data) data[size++] = *s++;
    }
    void AddHex(std::uintptr_t v) {
        char digits[2 + 2 * sizeof v + 1] = "0x";
        int n = 2;
        for (int shift = 8 * sizeof v - 4; shift >= 0; shift -= 4) {
            const int d = static_cast<int>((v >> shift) & 0xF);
            if (n > 2 || d || shift == 0) digits[n++] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
        }
        digits[n] = '\0';
        Add(digits);
    }
    void AddDecimal(unsigned long v) {
        char digits[24];
        int n = sizeof digits - 1;
        digits[n] = '\0';
        do {
            digits[--n] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v);
        Add(digits + n);
    }
    void WriteTo(HANDLE out) {
        DWORD written = 0;
        WriteFile(out, data, static_cast<DWORD>(size), &written, nullptr);
        size = 0;
    }
};

bool Query(std::uintptr_t address, MEMORY_BASIC_INFORMATION& mbi) {
    return VirtualQuery(reinterpret_cast<void*>(address), &mbi, sizeof mbi) == sizeof mbi;
}

bool Readable(std::uintptr_t address, std::size_t size) {
    MEMORY_BASIC_INFORMATION mbi{};
    if (!Query(address, mbi) || mbi.State != MEM_COMMIT || (mbi.Protect & (PAGE_NOACCESS | PAGE_GUARD))) return false;
    return address + size <= reinterpret_cast<std::uintptr_t>(mbi.BaseAddress) + mbi.RegionSize;
}

bool Executable(std::uintptr_t address) {
    MEMORY_BASIC_INFORMATION mbi{};
    return Query(address, mbi) && mbi.Type == MEM_IMAGE &&
           (mbi.Protect & (PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY));
}

// A call instruction ends just before `address`: E8 rel32, or FF /2 in its forms.
bool AfterCall(std::uintptr_t address) {
    if (!Readable(address - 7, 7)) return false;
    const auto* b = reinterpret_cast<const unsigned char*>(address);
    if (b[-5] == 0xE8) return true;
    for (int len = 2; len <= 7; ++len)
        if (b[-len] == 0xFF && ((b[-len + 1] >> 3) & 7) == 2) return true;
    return false;
}

// The image holding `address`, from its own headers: its name and its nearest
// export at or below the address, or its offset where no export is near.
void AddName(Text& t, std::uintptr_t address) {
    MEMORY_BASIC_INFORMATION mbi{};
    if (!Query(address, mbi) || mbi.Type != MEM_IMAGE) return t.AddHex(address);
    const auto base = reinterpret_cast<std::uintptr_t>(mbi.AllocationBase);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const std::uintptr_t rva = address - base;
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || !dir.VirtualAddress) {
        t.Add("image@");
        t.AddHex(base);
        t.Add("+");
        return t.AddHex(rva);
    }
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    const char* best = nullptr;
    DWORD bestRva = 0;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        const DWORD f = functions[ordinals[i]];
        if (f <= rva && f > bestRva && (f < dir.VirtualAddress || f >= dir.VirtualAddress + dir.Size)) {
            bestRva = f;
            best = reinterpret_cast<const char*>(base + names[i]);
        }
    }
    t.Add(reinterpret_cast<const char*>(base + exports->Name));
    if (best && rva - bestRva < 0x2000) {
        t.Add("!");
        t.Add(best);
        t.Add("+");
        return t.AddHex(rva - bestRva);
    }
    t.Add("+");
    t.AddHex(rva);
}

void AddStack(Text& t, const Watch& w, HANDLE thread) {
    CONTEXT ctx{};
    ctx.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
    if (!GetThreadContext(thread, &ctx)) return t.Add("  (no context)\r\n");
    ThreadBasics basics{};
    std::uintptr_t top = 0;
    if (w.threadInfo(thread, 0, &basics, sizeof basics, nullptr) >= 0 && basics.teb)
        top = reinterpret_cast<std::uintptr_t>(basics.teb->StackBase);
    t.Add("  eip ");
    AddName(t, ctx.Eip);
    t.Add("\r\n");
    int frames = 0;
    for (std::uintptr_t at = ctx.Esp & ~std::uintptr_t{3}; top && at + 4 <= top && frames < kMaxFrames; at += 4) {
        if (!Readable(at, 4)) break;
        const std::uintptr_t word = *reinterpret_cast<const std::uint32_t*>(at);
        if (!Executable(word) || !AfterCall(word)) continue;
        t.Add("  ");
        AddName(t, word);
        t.Add("\r\n");
        ++frames;
    }
}

// The thread ids of this process, from ntdll's process list (the toolhelp
// snapshot waits for the loader lock).
int ThreadIds(const Watch& w, DWORD* ids) {
    static unsigned char buffer[1 << 20];
    ULONG needed = 0;
    if (w.processes(SystemProcessInformation, buffer, sizeof buffer, &needed) < 0) return 0;
    for (std::size_t at = 0;;) {
        const auto* process = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer + at);
        if (reinterpret_cast<DWORD_PTR>(process->UniqueProcessId) == GetCurrentProcessId()) {
            const auto* threads = reinterpret_cast<const SYSTEM_THREAD_INFORMATION*>(process + 1);
            int n = 0;
            for (ULONG i = 0; i < process->NumberOfThreads && n < kMaxThreads; ++i)
                ids[n++] = static_cast<DWORD>(reinterpret_cast<DWORD_PTR>(threads[i].ClientId.UniqueThread));
            return n;
        }
        if (!process->NextEntryOffset) return 0;
        at += process->NextEntryOffset;
    }
}

// Every other thread of this process, each suspended only while it is read, and
// each written as soon as it is read: one that cannot be read leaves the others.
void Capture(Watch& w, DWORD ranMs) {
    HANDLE out = CreateFileA(w.file, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return;
    std::memcpy(w.lastFile, w.file, sizeof w.lastFile);
    static Text t;
    t.Add("FreeLibrary of ");
    t.Add(w.module);
    t.Add(" running for ");
    t.AddDecimal(ranMs);
    t.Add(" ms\r\n\r\n");
    t.WriteTo(out);
    static DWORD ids[kMaxThreads];
    const int n = ThreadIds(w, ids);
    for (int i = 0; i < n; ++i) {
        if (ids[i] == GetCurrentThreadId()) continue;
        HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE, ids[i]);
        if (!thread) continue;
        t.Add("thread ");
        t.AddHex(ids[i]);
        t.Add(ids[i] == w.unloadingThread ? " (in FreeLibrary)\r\n" : "\r\n");
        if (SuspendThread(thread) != static_cast<DWORD>(-1)) {
            AddStack(t, w, thread);
            ResumeThread(thread);
        }
        t.Add("\r\n");
        t.WriteTo(out);
        CloseHandle(thread);
    }
    CloseHandle(out);
}

DWORD WINAPI WatchMain(LPVOID started) {
    Watch& w = TheWatch();
    SetEvent(static_cast<HANDLE>(started));
    for (;;) {
        WaitForSingleObject(w.armed, INFINITE);
        const DWORD start = GetTickCount();
        if (WaitForSingleObject(w.finished, kWatchMs) == WAIT_OBJECT_0) continue;
        std::lock_guard<std::mutex> lock(w.mutex);
        if (w.captures < kMaxCaptures) {
            Capture(w, GetTickCount() - start);
            ++w.captures;
        }
    }
}

// Started before the first unload and never ended: a thread started during one
// would wait for the loader lock before it ran a line.
void StartOnce(Watch& w) {
    static std::once_flag once;
    std::call_once(once, [&] {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        w.threadInfo =
            reinterpret_cast<ThreadInfoFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryInformationThread")));
        w.processes =
            reinterpret_cast<ProcessesFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
        if (!w.threadInfo || !w.processes) return;
        w.armed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        w.finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        HANDLE thread = CreateThread(nullptr, 0, WatchMain, started, 0, nullptr);
        if (thread) {
            WaitForSingleObject(started, INFINITE);
            CloseHandle(thread);
        }
        CloseHandle(started);
    });
}

std::string ExeName() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string name(exe);
    name = name.substr(name.find_last_of("\\/") + 1);
    return name.substr(0, name.find_last_of('.'));
}

}  // namespace

UnloadWatch::UnloadWatch(HMODULE module) {
    Watch& w = TheWatch();
    StartOnce(w);
    if (!w.armed) return;
    char name[MAX_PATH] = {};
    GetModuleFileNameA(module, name, MAX_PATH);
    {
        std::lock_guard<std::mutex> lock(w.mutex);
        std::snprintf(w.module, sizeof w.module, "%s at %p", name, static_cast<void*>(module));
        const std::string file = ArtifactPath("unload-stacks-" + ExeName() + "-" +
                                              std::to_string(GetCurrentProcessId()) + "-" +
                                              std::to_string(w.captures) + ".txt");
        std::snprintf(w.file, sizeof w.file, "%s", file.c_str());
        w.unloadingThread = GetCurrentThreadId();
    }
    ResetEvent(w.finished);
    SetEvent(w.armed);
}

UnloadWatch::~UnloadWatch() {
    if (TheWatch().finished) SetEvent(TheWatch().finished);
}

std::string LastUnloadCapture() {
    Watch& w = TheWatch();
    std::lock_guard<std::mutex> lock(w.mutex);
    return w.lastFile;
}
