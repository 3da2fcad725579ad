// The Cabrillo header as hand-edited ini values, through an export pass that
// writes the Cabrillo file; and the soapbox's line-break encoding both ways.
#include "contest/header.h"
#include "fuzz_env.h"
#include "module/stats_module.h"

namespace {

const char* const kKeys[] = {"Operators", "Name", "Address", "Address-City", "Address-State", "Address-PostalCode",
                             "Address-Country", "Claimed", "Overlay", "Email", "Club", "SoapBox", "Contest",
                             "Location", "Start"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnterFuzzDir();
    FuzzedDataProvider in(data, size);

    FakeEnv env;
    for (const char* key : kKeys)
        if (in.ConsumeBool()) env.settings[key] = Text(in, 120);
    StatsModule module(env, files);

    const std::string myCall = Text(in, 24);
    ResetArgs r;
    r.makeCabrillo = 1;
    r.myCall = myCall;
    r.start = Time(in);
    r.end = Time(in);
    module.ResetStats0(r);

    const std::string call = Text(in, 16), exch = Text(in, 8);
    const int qsos = in.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < qsos; ++i) {
        QsoArgs q;
        q.myCall = myCall;
        q.call = call;
        q.time = Time(in);
        q.freqHz = in.ConsumeIntegral<unsigned>();
        q.mode = "RTTY";
        q.exchSent = "0001";
        q.exchRcvd = exch;
        q.band = i % 2 ? "20m" : "40m";
        module.AddData0(q);
    }
    module.GetResult0();

    // Typed text survives the trip through the settings file.
    const std::string typed = Text(in, 200);
    if (typed.find('<') == std::string::npos && typed.find('\r') == std::string::npos &&
        DecodeSoapbox(EncodeSoapbox(typed)) != typed)
        std::abort();
    TagLines(typed, "SOAPBOX: ");

    ClearFuzzDir();
    return 0;
}
