// The eleven exports of Stats.dll. Each hands its arguments on unchanged, every
// one of them, to the module that answers (dll/engine_win32.h): the engine, or
// this module itself.
#include <type_traits>

#include "dll/engine_win32.h"

using export_layout::Text;
using export_layout::Time;

extern "C" {

#define QSO_NAMED                                                                                                 \
    Text a1, Text a2, Time a3, Time a4, Time a5, Time a6, unsigned a7, unsigned a8, Text a9, Text a10, Text a11,    \
        Text a12, Text a13, Text a14, Text a15, Text a16, Text a17, Text a18, Text a19, Text a20, Text a21, Text a22, \
        Text a23, int a24, int a25, int a26, double a27, double a28, Text a29, Text a30, Text a31, Text a32, Text a33
#define QSO_PASSED                                                                                                  \
    a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17, a18, a19, a20, a21, a22, a23, a24, \
        a25, a26, a27, a28, a29, a30, a31, a32, a33

int __cdecl AddData0(QSO_NAMED) { return Exports().addData(QSO_PASSED); }

int __cdecl RemoveData0(QSO_NAMED) { return Exports().removeData(QSO_PASSED); }

int __cdecl ResetStats0(Text a1, int a2, Text a3, Time a4, Time a5, Text a6, Text a7, Text a8, Text a9, Text a10,
                        Text a11, Text a12, Text a13, Text a14, Text a15, int a16, int a17, int a18, double a19,
                        double a20, Text a21, Text a22, Text a23) {
    return Exports().resetStats(a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17, a18, a19,
                                a20, a21, a22, a23);
}

int __cdecl CheckCall0(Text a1, unsigned a2, unsigned a3, Text a4, Text a5, Text a6, Text a7, Text a8, Text a9,
                       Text a10, Text a11, Text a12, Text a13, Text a14, int a15, int a16, int a17, double a18,
                       double a19, Text a20, Text a21, Text a22, Text a23, Text a24, Text a25, Text a26, char* a27,
                       char* a28) {
    return Exports().checkCall(a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17, a18, a19,
                               a20, a21, a22, a23, a24, a25, a26, a27, a28);
}

int __cdecl IsValidExchg0(Text a1, Text a2, Text a3, Text a4, int a5, int a6, int a7) {
    return Exports().isValidExchg(a1, a2, a3, a4, a5, a6, a7);
}

// Also exported as GetExchgCount0: the caller removes whatever arguments it pushed.
int __cdecl GetNumberOfSets() { return Exports().getNumberOfSets(); }

const char* __cdecl GetResult0(int* out) { return Exports().getResult(out); }

const char* __cdecl GetSetName(int set) { return Exports().getSetName(set); }

void __cdecl SetupSet0() { Exports().setupSet(); }

unsigned __cdecl setVersion(Text a1) { return Exports().setVersion(a1); }

}  // extern "C"

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
