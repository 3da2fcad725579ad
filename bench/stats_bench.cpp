// Native benchmarks of the module through StatsModule, the layer right behind the
// exports: reload, call check, results and removal at growing log sizes.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "bench_log.h"
#include "base/env.h"
#include "base/std_files.h"
#include "module/stats_module.h"
#include "test_qso.h"

namespace {

StdFiles files;  // the real file system, under the scratch folder

// No settings, no windows: the module alone.
struct QuietEnv : Env {
    std::string ReadSetting(std::string_view) override { return {}; }
    void WriteSetting(std::string_view, std::string_view) override {}
    std::optional<std::string> ReadSettingIfPresent(std::string_view) override { return std::nullopt; }
    std::vector<std::string> FindFiles(const std::string&) override { return {}; }
    bool WindowsOpen() override { return false; }
    void PostUpdateWindows() override {}
    void StartWindowThread() override {}
    void ShowMessage(std::string_view, std::string_view, MessageIcon) override {}
    bool RunCabrilloDialog(CabrilloHeaderFields&) override { return true; }
};

// A QSO of the benchmark log as the intake takes it.
TestQso Intake(const BenchQso& q) {
    return {.call = q.call, .band = q.band, .exchRcvd = q.exchRcvd, .prefix = q.prefix, .country = q.country,
            .continent = q.continent, .rstRcvd = "599", .time = {q.time}, .freqHz = q.freqHz};
}

ResetArgs Reset() {
    ResetArgs r;
    r.myCall = "SM5XYZ";
    r.myCountry = "SM";
    r.myContinent = "EU";
    r.start.value = kBenchStart;
    r.end.value = kBenchStart + 2.0;
    return r;
}

const std::vector<TestQso>& Log(std::size_t n) {
    static std::map<std::size_t, std::vector<TestQso>> logs;
    auto& log = logs[n];
    if (log.empty())
        for (const BenchQso& q : MakeBenchLog(n)) log.push_back(Intake(q));
    return log;
}

// Each module keeps its bad-QSO file in a folder of its own; a benchmark steps
// into it before calling the module.
void EnterFolder(const std::string& name) {
    static const auto root = std::filesystem::current_path();
    std::filesystem::create_directories(root / name);
    std::filesystem::current_path(root / name);
}

struct Loaded {
    QuietEnv env;
    StatsModule module{env, files};
};

// A module holding the log of size n, made once per size and kind of report.
Loaded& LoadedModule(std::size_t n, bool html) {
    static std::map<std::pair<std::size_t, bool>, std::unique_ptr<Loaded>> modules;
    auto& m = modules[{n, html}];
    const std::string folder = std::to_string(n) + (html ? "html" : "text");
    EnterFolder(folder);
    if (!m) {
        m = std::make_unique<Loaded>();
        m->module.ResetStats0(Reset());
        for (const auto& q : Log(n)) m->module.AddData0(q.args());
        if (html) m->module.SetVersion();
    }
    return *m;
}

std::size_t HeapInUse() {
    const auto info = mallinfo2();
    return info.uordblks + info.hblkhd;  // large blocks are mapped, not in the arena
}

void BM_Reload(benchmark::State& state) {
    const auto& log = Log(static_cast<std::size_t>(state.range(0)));
    EnterFolder("reload" + std::to_string(log.size()));
    QuietEnv env;
    StatsModule module(env, files);
    module.ResetStats0(Reset());
    const std::size_t empty = HeapInUse();
    std::size_t loaded = empty;
    // The host's reload: a reset of a module that holds the log, then the replay.
    // The first load after start-up, into an empty module, is not timed.
    for (const auto& q : log) module.AddData0(q.args());
    for (auto _ : state) {
        module.ResetStats0(Reset());
        for (const auto& q : log) module.AddData0(q.args());
        loaded = HeapInUse();
    }
    state.counters["bytes_per_qso"] = double(loaded - empty) / double(log.size());
}

void BM_CheckCall(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    Loaded& m = LoadedModule(n, false);
    // Calls from the log (dupes on their band) and calls not in it, some Nordic-Baltic.
    std::vector<TestQso> asked(Log(n).begin(), Log(n).begin() + 500);
    for (const auto& q : MakeBenchLog(500, 99)) asked.push_back(Intake(q));
    std::size_t i = 0;
    for (auto _ : state) {
        const TestQso& q = asked[i++ % asked.size()];
        benchmark::DoNotOptimize(
            m.module.CheckCall0(CheckArgs{q.call, "RTTY", q.prefix, q.country, q.continent, q.band, q.band}));
    }
}

void Results(benchmark::State& state, bool html) {
    Loaded& m = LoadedModule(static_cast<std::size_t>(state.range(0)), html);
    for (auto _ : state) benchmark::DoNotOptimize(m.module.GetResult0());
}
void BM_ResultText(benchmark::State& state) { Results(state, false); }
void BM_ResultHtml(benchmark::State& state) { Results(state, true); }

// A QSO from anywhere in the log goes out, and comes back in untimed so the log
// keeps its size.
void BM_Remove(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    Loaded& m = LoadedModule(n, false);
    const auto& log = Log(n);
    std::size_t i = 0;
    for (auto _ : state) {
        const TestQso& q = log[(i++ * 7919) % log.size()];
        m.module.RemoveData0(q.args());
        state.PauseTiming();
        m.module.AddData0(q.args());
        state.ResumeTiming();
    }
}

void Sizes(benchmark::internal::Benchmark* b) { b->Arg(1000)->Arg(10000)->Arg(100000); }

BENCHMARK(BM_Reload)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckCall)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResultText)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResultHtml)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Remove)->Apply(Sizes)->Unit(benchmark::kMillisecond);

}  // namespace

// The module writes its bad-QSO file into the working directory: give it a scratch one.
int main(int argc, char** argv) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "stats-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(tmpl);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::current_path(old);
    std::error_code ec;
    std::filesystem::remove_all(tmpl, ec);
    return 0;
}
