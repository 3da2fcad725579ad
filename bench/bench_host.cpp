// Times the module inside the real Stats.dll, called through its exports as the
// host calls them. One log size per run, so the memory figure starts from a fresh
// process: bench_host.exe <QSOs>. Prints "figure<TAB>QSOs<TAB>value" lines.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_log.h"
#include "stand_in_host.h"

namespace {

double Now() {
    static const double ticksPerSecond = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / ticksPerSecond;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Bytes in use on all of the process's heaps; the C library's allocations land on one of them.
std::size_t HeapBytes() {
    std::vector<HANDLE> heaps(64);
    const DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    std::size_t total = 0;
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

// Lines in the pass's bad-QSO file, the one file of its pattern in the folder.
std::size_t BadQsoLines() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("BadQSO_*.txt", &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    FindClose(search);
    const std::string bytes = ReadFileBytes(found.cFileName);
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
}

QsoCall Call(const BenchQso& q, const char* mode = "RTTY") {
    QsoCall c;
    c.mode = mode;
    c.call = q.call.c_str();
    c.time = HostDateTime{q.time, 0, 0};
    c.freqHz = q.freqHz;
    c.exchSent = "0001";
    c.exchRcvd = q.exchRcvd.c_str();
    c.prefix = q.prefix.c_str();
    c.country = q.country.c_str();
    c.continent = q.continent.c_str();
    c.band = q.band.c_str();
    return c;
}

void Print(const char* figure, std::size_t n, double value) { std::printf("wine\t%s\t%zu\t%.6g\n", figure, n, value); }

}  // namespace

int main(int argc, char** argv) {
    const std::size_t n = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;
    if (n == 0) return 2;
    // A scratch working folder with a host settings file of a version that never
    // opens the windows: their thread would time its own work into ours.
    ScratchFolder folder;
    WriteFileBytes("Tevo2.ini", "[Main]\r\nTevo=2.18\r\n");
    StatsDll dll;
    const auto log = MakeBenchLog(n);
    const int reps = n >= 100000 ? 5 : 9;
    ResetCall reset;
    reset.start = HostDateTime{kBenchStart, 0, 0};
    reset.end = HostDateTime{kBenchStart + 2.0, 0, 0};

    dll.ResetStats0(reset);
    const std::size_t empty = HeapBytes();
    std::vector<double> reload;
    for (int r = 0; r < reps; ++r) {
        const double t0 = Now();
        dll.ResetStats0(reset);
        for (const auto& q : log) dll.AddData0(Call(q));
        reload.push_back(Now() - t0);
        if (r == 0) Print("bytes_per_qso", n, double(HeapBytes() - empty) / double(n));
    }
    Print("reload_ms", n, Median(reload) * 1e3);
    Print("add_us", n, Median(reload) * 1e6 / double(n));

    // What a bad-QSO line adds to a reload, in QSO intakes: the same reload again,
    // alternating with one where every second QSO is in a mode the contest does not
    // take and so writes its line to the bad-QSO file instead of joining the log.
    std::vector<double> plain, mixed;
    std::size_t plainLines = 0, mixedLines = 0;
    for (int r = 0; r < reps; ++r) {
        for (int withRejects = 0; withRejects < 2; ++withRejects) {
            const double t0 = Now();
            dll.ResetStats0(reset);
            for (std::size_t i = 0; i < n; ++i) dll.AddData0(Call(log[i], withRejects && i % 2 ? "FT8" : "RTTY"));
            (withRejects ? mixed : plain).push_back(Now() - t0);
            dll.CheckCall0(CheckCallArgs{});  // the host's next call: the pass is over
            (withRejects ? mixedLines : plainLines) = BadQsoLines();
        }
    }
    if (mixedLines > plainLines) {
        const double intake = Median(plain) / double(n);
        const double line = (Median(mixed) - Median(plain)) / double(mixedLines - plainLines);
        Print("bad_line_intakes", n, line / intake);
    }

    std::vector<BenchQso> asked(log.begin(), log.begin() + std::min<std::size_t>(500, n));
    for (const auto& q : MakeBenchLog(500, 99)) asked.push_back(q);
    std::vector<double> check;
    for (int r = 0; r < reps; ++r) {
        const int calls = 20000;
        const double t0 = Now();
        for (int i = 0; i < calls; ++i) {
            const BenchQso& q = asked[static_cast<std::size_t>(i) % asked.size()];
            CheckCallArgs c{q.call.c_str(), "RTTY", q.prefix.c_str(), q.country.c_str(), q.continent.c_str(),
                            q.band.c_str(), q.band.c_str()};
            dll.CheckCall0(c);
        }
        check.push_back((Now() - t0) / calls);
    }
    Print("check_us", n, Median(check) * 1e6);

    std::vector<double> removal;
    for (int r = 0; r < 4 * reps; ++r) {
        const BenchQso& q = log[(static_cast<std::size_t>(r) * 7919) % n];
        const double t0 = Now();
        dll.RemoveData0(Call(q));
        removal.push_back(Now() - t0);
        dll.AddData0(Call(q));
    }
    Print("remove_ms", n, Median(removal) * 1e3);

    for (const char* figure : {"result_text_ms", "result_html_ms"}) {
        if (figure[7] == 'h') dll.setVersion("");  // from here on the host wants HTML
        std::vector<double> results;
        for (int r = 0; r < reps; ++r) {
            const double t0 = Now();
            dll.Results();
            results.push_back(Now() - t0);
        }
        Print(figure, n, Median(results) * 1e3);
    }
    return 0;
}
