// soak.exe: a contest at typing speed for a few minutes, for the operator windows
// and the host's thread working on the same log. The host's thread types calls
// one character at a time (each keystroke a call check, whose update calls back
// into the automation object on this thread), logs them, deletes some and asks
// for the results, while the side windows redraw from the log. Not part of the
// test run: it prints what it measured.
//
//   soak.exe [seconds] [worker]     (default 180 s, on the object's thread)
//
// With "worker" the exports are called from a worker thread that sleeps between
// keystrokes, while the object's thread only pumps: a host built that way.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "automation_object.h"
#include "stand_in_host.h"

namespace {

constexpr DWORD kKeystrokeMs = 100;  // a fast operator

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

SIZE_T CommittedBytes() {
    PROCESS_MEMORY_COUNTERS m{};
    GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m);
    return m.PagefileUsage;
}

// Count and worst time of one export.
struct Timing {
    const char* name;
    long count = 0;
    double worstMs = 0, totalMs = 0;

    template <typename F>
    auto operator()(F&& call) {
        const double start = NowMs();
        auto result = call();
        const double took = NowMs() - start;
        ++count;
        totalMs += took;
        worstMs = std::max(worstMs, took);
        return result;
    }
    void Print() const {
        std::printf("%-12s %8ld calls  mean %7.3f ms  worst %8.3f ms\n", name, count, count ? totalMs / count : 0,
                    worstMs);
    }
};

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 180;
    const bool onWorker = argc > 2 && std::strcmp(argv[2], "worker") == 0;
    CoInitialize(nullptr);
    int failures = 0;
    {
        ScratchFolder folder;
        WritePrivateProfileStringA("Settings", "setup_view_pref", "1", ".\\Plugins\\VERDA-WW.ini");
        WritePrivateProfileStringA("Settings", "setup_view_prev_qso", "1", ".\\Plugins\\VERDA-WW.ini");
        WriteFileBytes("Plugins\\KOVAR.hlp", "OH2AA 0001\r\nSM5AB 0002\r\nDL1AC 0003\r\n");
        HostAutomationObject host;
        if (!host.registered()) {
            std::puts("soak: cannot register the automation object");
            return 2;
        }
        // The host's calls, on this thread or on a worker while this one pumps.
        auto asHost = [&](const std::function<void()>& body) {
            onWorker ? RunOnWorker(body) : body();
        };
        auto pause = [&](DWORD ms) { onWorker ? Sleep(ms) : PumpFor(ms); };
        auto script = [&](const std::function<void()>& change) {
            std::lock_guard<std::mutex> guard(host.scriptLock);
            change();
        };

        std::optional<StatsDll> dll;
        asHost([&] {
            dll.emplace();
            dll->ResetStats0(ResetCall{});
        });
        PumpUntil([&] { return host.Commands().size() >= 2; });

        const char* const prefixes[] = {"OH2", "SM5", "DL1", "ES1", "LA9", "K1", "JA1", "UA9"};
        const char* const countries[] = {"OH", "SM", "DL", "ES", "LA", "K", "JA", "UA9"};
        const char* const bands[] = {"80m", "40m", "20m", "15m"};
        std::mt19937 random(42);
        std::vector<QsoCall> logged;
        std::vector<std::string> texts;  // keeps the logged QSOs' texts alive
        texts.reserve(1 << 20);
        Timing add{"AddData0"}, remove{"RemoveData0"}, check{"CheckCall0"}, results{"GetResult0"};
        const SIZE_T memoryAtStart = CommittedBytes();
        const double end = NowMs() + seconds * 1000;
        long keystrokes = 0;

        asHost([&] {
            while (NowMs() < end) {
                const int p = random() % 8;
                const std::string call = prefixes[p] + std::string(1, 'A' + random() % 26) + char('A' + random() % 3);
                const char* band = bands[random() % 4];
                const double hertz = 1e6 * (band[0] == '8' ? 3.58 : band[0] == '4' ? 7.04 : band[0] == '2' ? 14.08 : 21.08) +
                                     1000.0 * (random() % 20);
                script([&] { host.frequencyHz = hertz; });
                for (std::size_t typed = 1; typed <= call.size(); ++typed) {
                    script([&] { host.fields[5] = ScriptedField::Text(Wide(call.substr(0, typed))); });
                    CheckCallArgs c;
                    const std::string partial = call.substr(0, typed);
                    c.call = partial.c_str();
                    c.band = c.band2 = band;
                    c.prefix = prefixes[p];
                    c.country = countries[p];
                    check([&] { return dll->CheckCall0(c); });
                    ++keystrokes;
                    if (keystrokes % 10 == 0) results([&] { return dll->Results().size(); });
                    pause(kKeystrokeMs);
                }
                texts.push_back(call);
                QsoCall q;
                q.call = texts.back().c_str();
                q.band = band;
                q.prefix = prefixes[p];
                q.country = countries[p];
                q.freqHz = static_cast<unsigned>(hertz);
                q.time = HostTime(2021, 3, 6, 0, 0, 0);
                q.time.value += add.count / 1440.0;  // one QSO a minute
                add([&] { return dll->AddData0(q); });
                logged.push_back(q);
                if (add.count % 5 == 0) {  // the operator deletes one now and then
                    const std::size_t victim = random() % logged.size();
                    remove([&] { return dll->RemoveData0(logged[victim]); });
                    logged.erase(logged.begin() + victim);
                }
            }
        });
        PumpFor(500);
        const SIZE_T memoryAtEnd = CommittedBytes();
        double unloadMs = 0;
        asHost([&] {
            const double unloadStart = NowMs();
            dll.reset();
            unloadMs = NowMs() - unloadStart;
        });
        // An update calling the host at that moment ends the unload a moment later.
        PumpUntil(StatsDllUnmapped, 10000);

        std::printf("soak: %.0f s (exports on %s), %ld keystrokes, %ld updates reached the frequency (calls of three characters or more),"
                    " %d host calls refused as bad\n", seconds, onWorker ? "a worker" : "the object's thread", keystrokes, static_cast<long>(host.Count("frequency")), host.Count("bad"));
        for (const Timing* t : {&check, &add, &remove, &results}) t->Print();
        std::printf("log size at the end: %zu QSOs; committed memory %lu KiB at start, %lu KiB at end\n", logged.size(),
                    static_cast<unsigned long>(memoryAtStart / 1024), static_cast<unsigned long>(memoryAtEnd / 1024));
        std::printf("unload with the windows open: %.1f ms\n", unloadMs);
        failures = host.Count("bad") + (unloadMs > 4000) + !StatsDllUnmapped();
    }
    CoUninitialize();
    return failures ? 1 : 0;
}
