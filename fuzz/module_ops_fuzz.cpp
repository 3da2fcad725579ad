// Sequences of the host's calls through StatsModule with arbitrary arguments, the
// host's settings file and the call history taken from the input as well.
#include <fstream>

#include "fuzz_env.h"
#include "module/stats_module.h"

namespace {

const std::initializer_list<const char*> kBandTexts = {"160m", "80m", "40m", "20m", "15m", "10m", "20M", "30m", ""};
const std::initializer_list<const char*> kModes = {"RTTY", "rtty", "CW", ""};
const std::initializer_list<const char*> kCountries = {"SM", "OH", "OH0", "UA9", "JA", "K", "DL", "ES", ""};
const std::initializer_list<const char*> kContinents = {"EU", "AS", "NA", ""};
const std::initializer_list<const char*> kCalls = {"DL1ABC", "K1A", "K1AB", "OH2XX", ""};

void WriteFile(const char* name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

QsoArgs Qso(FuzzedDataProvider& in, std::string (&s)[12]) {
    s[0] = Text(in, 16);
    s[1] = Pick(in, kCalls);
    s[2] = Pick(in, kModes);
    s[3] = Text(in, 8);
    s[4] = Text(in, 8);
    s[5] = Text(in, 8);
    s[6] = Text(in, 8);
    s[7] = Text(in, 8);
    s[8] = Pick(in, kCountries);
    s[9] = Pick(in, kContinents);
    s[10] = Pick(in, kBandTexts);
    QsoArgs q;
    q.myCall = s[0];
    q.call = s[1];
    q.time = Time(in);
    q.freqHz = in.ConsumeIntegral<unsigned>();
    q.mode = s[2];
    q.rstSent = s[3];
    q.rstRcvd = s[4];
    q.exchSent = s[5];
    q.exchRcvd = s[6];
    q.prefix = s[7];
    q.country = s[8];
    q.continent = s[9];
    q.band = s[10];
    return q;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnterFuzzDir();
    FuzzedDataProvider in(data, size);
    WriteFile("Tevo2.ini", Text(in, 200));
    WriteFile("Plugins/KOVAR.hlp", Text(in, 200));

    FakeEnv env;
    env.settings["Start"] = Text(in, 4);
    if (in.ConsumeBool()) env.files = {"Tevo2.ini"};
    StatsModule module(env, files);

    std::string s[12];
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 7)) {
            case 0: {
                ResetArgs r;
                s[0] = Text(in, 16);
                s[1] = Text(in, 16);
                s[2] = Pick(in, kCountries);
                s[3] = Pick(in, kContinents);
                r.hostFolder = s[0];
                r.makeCabrillo = in.ConsumeIntegral<int>();
                r.myCall = s[1];
                r.start = Time(in);
                r.end = Time(in);
                r.myCountry = s[2];
                r.myContinent = s[3];
                module.ResetStats0(r);
                break;
            }
            case 1:
            case 2: module.AddData0(Qso(in, s)); break;
            case 3: module.RemoveData0(Qso(in, s)); break;
            case 4: {
                CheckArgs c;
                s[0] = Pick(in, kCalls);
                s[1] = Pick(in, kModes);
                s[2] = Text(in, 8);
                s[3] = Pick(in, kCountries);
                s[4] = Pick(in, kContinents);
                s[5] = Pick(in, kBandTexts);
                s[6] = Pick(in, kBandTexts);
                c = {s[0], s[1], s[2], s[3], s[4], s[5], std::nullopt};
                if (in.ConsumeBool()) c.band2 = s[6];
                const int verdict = module.CheckCall0(c);
                if (verdict != 0 && verdict != 1 && verdict != 2 && verdict != 4) std::abort();
                break;
            }
            case 5: module.GetResult0(); break;
            case 6: module.SetVersion(); break;
            default: module.IsValidExchg0(Text(in, 8)); break;
        }
    }
    ClearFuzzDir();
    return 0;
}
