// This module's own answers to the eleven exports: decode the host's raw
// arguments (null texts read as empty, date/time objects by their first 12 bytes)
// and keep every exception inside.
#include "dll/local_exports_win32.h"

#include <cstring>
#include <string_view>
#include <type_traits>

#include "dll/app_win32.h"

namespace {

using export_layout::Text;
using export_layout::Time;

std::string_view Str(Text p) { return p ? std::string_view(p) : std::string_view(); }

// The host's object: an 8-byte double then a 32-bit status (0 valid, 1 invalid, 2 null).
DateTime ReadTime(Time p) {
    if (!p) return DateTime::Null();
    DateTime t;
    std::int32_t status = 0;
    std::memcpy(&t.value, p, sizeof t.value);
    std::memcpy(&status, static_cast<const char*>(p) + sizeof t.value, sizeof status);
    t.status = (status >= 0 && status <= 2) ? static_cast<DateTimeStatus>(status) : DateTimeStatus::invalid;
    return t;
}

template <typename R, typename F>
R Guarded(R fallback, F&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}

QsoArgs DecodeQso(Text myCall, Text call, Time time, unsigned freqHz, Text mode, Text rstSent, Text rstRcvd,
                  Text exchSent, Text exchRcvd, Text prefix, Text country, Text continent, Text band) {
    QsoArgs q;
    q.myCall = Str(myCall);
    q.call = Str(call);
    q.time = ReadTime(time);
    q.freqHz = freqHz;
    q.mode = Str(mode);
    q.rstSent = Str(rstSent);
    q.rstRcvd = Str(rstRcvd);
    q.exchSent = Str(exchSent);
    q.exchRcvd = Str(exchRcvd);
    q.prefix = Str(prefix);
    q.country = Str(country);
    q.continent = Str(continent);
    q.band = Str(band);
    return q;
}

const char kEmpty[] = "";

#define QSO_PARAMS                                                                                             \
    Text myCall, Text call, Time time, Time, Time, Time, unsigned, unsigned freqHz, Text mode, Text rstSent,     \
        Text rstRcvd, Text exchSent, Text exchRcvd, Text, Text, Text, Text, Text, Text, Text, Text, Text prefix, \
        Text country, int, int, int, double, double, Text, Text continent, Text, Text band, Text
#define QSO_ARGS \
    DecodeQso(myCall, call, time, freqHz, mode, rstSent, rstRcvd, exchSent, exchRcvd, prefix, country, continent, band)


int __cdecl AddData0(QSO_PARAMS) {
    return Guarded(0, [&] { return App().stats.AddData0(QSO_ARGS); });
}

int __cdecl RemoveData0(QSO_PARAMS) {
    return Guarded(1, [&] { return App().stats.RemoveData0(QSO_ARGS); });
}

int __cdecl ResetStats0(Text hostFolder, int makeCabrillo, Text myCall, Time start, Time end, Text, Text, Text, Text,
                        Text, Text, Text, Text, Text /*myPrefix*/, Text myCountry, int, int, int, double, double, Text,
                        Text myContinent, Text) {
    return Guarded(1, [&] {
        ResetArgs a;
        a.hostFolder = Str(hostFolder);
        a.makeCabrillo = makeCabrillo;
        a.myCall = Str(myCall);
        a.start = ReadTime(start);
        a.end = ReadTime(end);
        a.myCountry = Str(myCountry);
        a.myContinent = Str(myContinent);
        return App().stats.ResetStats0(a);
    });
}

int __cdecl CheckCall0(Text call, unsigned, unsigned, Text mode, Text, Text, Text, Text, Text, Text, Text, Text,
                       Text prefix, Text country, int, int, int, double, double, Text, Text continent, Text, Text,
                       Text, Text band, Text band2, char*, char*) {
    try {
        CheckArgs a;
        a.call = Str(call);
        a.mode = Str(mode);
        a.prefix = Str(prefix);
        a.country = Str(country);
        a.continent = Str(continent);
        a.band = Str(band);
        if (band2) a.band2 = std::string_view(band2);
        return App().stats.CheckCall0(a);
    } catch (...) {
        return App().stats.CheckCallFailValue();
    }
}

int __cdecl IsValidExchg0(Text exchange, Text, Text, Text, int, int, int) {
    return Guarded(0, [&] { return App().stats.IsValidExchg0(Str(exchange)); });
}

int __cdecl GetNumberOfSets() { return 1; }

const char* __cdecl GetResult0(int* out) {
    const char* text = Guarded<const char*>(kEmpty, [&] { return App().stats.GetResult0(); });
    if (out) *out = -1;
    return text;
}

const char* __cdecl GetSetName(int set) { return StatsModule::GetSetName(set); }

void __cdecl SetupSet0() {
    Guarded(0, [&] {
        App().stats.SetupSet0();
        return 0;
    });
}

unsigned __cdecl setVersion(Text) {
    return Guarded(0u, [&] { return App().stats.SetVersion(); });
}

}  // namespace

// Each definition above has the layout the host calls it with.
static_assert(std::is_same_v<decltype(&AddData0), export_layout::QsoFn>);
static_assert(std::is_same_v<decltype(&RemoveData0), export_layout::QsoFn>);
static_assert(std::is_same_v<decltype(&ResetStats0), export_layout::ResetFn>);
static_assert(std::is_same_v<decltype(&CheckCall0), export_layout::CheckFn>);
static_assert(std::is_same_v<decltype(&IsValidExchg0), export_layout::ExchFn>);
static_assert(std::is_same_v<decltype(&GetNumberOfSets), export_layout::SetsFn>);
static_assert(std::is_same_v<decltype(&GetResult0), export_layout::ResultFn>);
static_assert(std::is_same_v<decltype(&GetSetName), export_layout::NameFn>);
static_assert(std::is_same_v<decltype(&SetupSet0), export_layout::SetupFn>);
static_assert(std::is_same_v<decltype(&setVersion), export_layout::VersionFn>);

extern const export_layout::ExportTable kLocalExports{AddData0,      RemoveData0,     ResetStats0, CheckCall0,
                                                     IsValidExchg0, GetNumberOfSets, GetResult0,  GetSetName,
                                                     SetupSet0,     setVersion};
