// Shared by the fuzz targets: the in-memory Env of the unit tests, a private
// working directory for the files the core writes, and input decoding helpers.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../tests/unit/fake_env.h"
#include "base/date_time.h"
#include "base/std_files.h"

// The corpus folders and files named on the command line, made absolute: the
// first input moves the process into its scratch folder, and libFuzzer reads
// and writes them after that.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static std::vector<std::string> absolute;
    absolute.reserve(*argc);
    for (int i = 1; i < *argc; ++i) {
        if ((*argv)[i][0] == '-') continue;
        std::error_code ec;
        absolute.push_back(std::filesystem::absolute((*argv)[i], ec).string());
        if (!ec) (*argv)[i] = absolute.back().data();
    }
    return 0;
}

// One working directory for the whole run: the core writes the bad-QSO and
// Cabrillo files relative to it and reads the host's files from it.
inline void EnterFuzzDir() {
    static ScratchDir dir;  // removed when the run ends
}

// Files the core may have written, removed so that a long run cannot fill the disk.
inline void ClearFuzzDir() {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(".", ec))
        if (e.path().filename() != "Plugins") std::filesystem::remove_all(e.path(), ec);
}

// Texts of any bytes, embedded NULs and control characters included.
inline std::string Text(FuzzedDataProvider& in, std::size_t max = 64) { return in.ConsumeRandomLengthString(max); }

// A short text from a list that the rules know, or arbitrary bytes: the
// interesting paths need accepted bands and modes as often as garbage.
inline std::string Pick(FuzzedDataProvider& in, std::initializer_list<const char*> known) {
    if (in.ConsumeBool()) return Text(in, 16);
    const std::size_t i = in.ConsumeIntegralInRange<std::size_t>(0, known.size() - 1);
    return known.begin()[i];
}

// Any double, NaN, infinities and huge values included, with any status the
// export can produce.
inline DateTime Time(FuzzedDataProvider& in) {
    DateTime t;
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: t.value = in.ConsumeFloatingPoint<double>(); break;
        case 1: t.value = 44260.0 + in.ConsumeFloatingPointInRange(0.0, 3.0); break;  // March 2021
        case 2: t.value = in.ConsumeIntegralInRange(-1000000, 3000000); break;
        default: t.value = in.ConsumeProbability<double>() * 1e308 * (in.ConsumeBool() ? 1 : -1); break;
    }
    t.status = static_cast<DateTimeStatus>(in.ConsumeIntegralInRange(0, 2));
    return t;
}

// The real file system, under the fuzzing folder.
inline StdFiles files;
