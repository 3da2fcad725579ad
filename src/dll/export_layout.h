// The exports as Tevo calls them: cdecl, every argument Tevo pushes, in its order.
// The DLL's definitions are checked against these types, and the stand-in host
// calls the exports through them, so the two can never disagree.
#pragma once

namespace export_layout {

using Text = const char*;
// The host's date/time object: an 8-byte count of days since 1899-12-30, then a
// 32-bit status (0 valid, 1 invalid, 2 null).
using Time = const void*;

// AddData0 and RemoveData0.
using QsoFn = int(__cdecl*)(Text, Text, Time, Time, Time, Time, unsigned, unsigned, Text, Text, Text, Text, Text,
                            Text, Text, Text, Text, Text, Text, Text, Text, Text, Text, int, int, int, double, double,
                            Text, Text, Text, Text, Text);
using ResetFn = int(__cdecl*)(Text, int, Text, Time, Time, Text, Text, Text, Text, Text, Text, Text, Text, Text, Text,
                              int, int, int, double, double, Text, Text, Text);
using CheckFn = int(__cdecl*)(Text, unsigned, unsigned, Text, Text, Text, Text, Text, Text, Text, Text, Text, Text,
                              Text, int, int, int, double, double, Text, Text, Text, Text, Text, Text, Text, char*,
                              char*);
using ExchFn = int(__cdecl*)(Text, Text, Text, Text, int, int, int);
// GetExchgCount0 is GetNumberOfSets under a second name: the caller removes the
// three texts it pushes.
using CountFn = int(__cdecl*)(Text, Text, Text);
using SetsFn = int(__cdecl*)();
using ResultFn = const char*(__cdecl*)(int*);
using NameFn = const char*(__cdecl*)(int);
using SetupFn = void(__cdecl*)();
using VersionFn = unsigned(__cdecl*)(Text);

// The eleven entry points of one module.
struct ExportTable {
    QsoFn addData;
    QsoFn removeData;
    ResetFn resetStats;
    CheckFn checkCall;
    ExchFn isValidExchg;
    SetsFn getNumberOfSets;  // GetExchgCount0 too
    ResultFn getResult;
    NameFn getSetName;
    SetupFn setupSet;
    VersionFn setVersion;
};

}  // namespace export_layout
