// The companion plug-in's call-history file, loaded by a reset and looked up.
#include <fstream>

#include "fuzz_env.h"
#include "module/stats_module.h"
#include "ui/call_history.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnterFuzzDir();
    FuzzedDataProvider in(data, size);
    const std::string call = Text(in, 16);
    std::ofstream("Plugins/KOVAR.hlp", std::ios::binary) << in.ConsumeRemainingBytesAsString();

    FakeEnv env;
    StatsModule module(env, files);
    module.ResetStats0(ResetArgs{});
    const std::string found = LookupCallHistory(module.state().shared.callHistory, call);
    // The answer is a line's tail: at most four characters, from a loaded line.
    if (found.size() > 4) std::abort();
    return 0;
}
