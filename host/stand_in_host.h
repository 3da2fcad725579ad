// The stand-in host: loads Stats.dll by path and calls its exports exactly as
// Tevo does (cdecl, the full argument lists). Arguments the plug-in must not read
// get distinct non-empty junk, so a read of the wrong position shows up in a test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The first 12 bytes of the host's date/time object: the days since 1899-12-30
// and a status (0 valid, 1 invalid, 2 null).
struct HostDateTime {
    double value = 0.0;
    std::int32_t status = 0;
    std::int32_t padding = 0;
};

HostDateTime HostTime(int year, int month, int day, int hour, int minute, int second = 0);

// AddData0 / RemoveData0 arguments; a null text pointer is passed as null.
struct QsoCall {
    const char* myCall = "SM5XYZ";
    const char* call = "DL1ABC";
    HostDateTime time = HostTime(2021, 3, 6, 12, 0);
    bool nullTime = false;  // pass a null date/time pointer
    unsigned freqHz = 14085000;
    const char* mode = "RTTY";
    const char* rstSent = "599";
    const char* rstRcvd = "579";
    const char* exchSent = "0001";
    const char* exchRcvd = "0042";
    const char* prefix = "DL1";
    const char* country = "DL";
    const char* continent = "EU";
    const char* band = "20m";
};

struct ResetCall {
    const char* hostFolder = "";
    int makeCabrillo = 0;
    const char* myCall = "SM5XYZ";
    HostDateTime start = HostTime(2021, 3, 6, 0, 0);
    HostDateTime end = HostTime(2021, 3, 7, 23, 59);
    bool nullDates = false;
    const char* myPrefix = "SM5";
    const char* myCountry = "SM";
    const char* myContinent = "EU";
};

struct CheckCallArgs {
    const char* call = "DL1ABC";
    const char* mode = "RTTY";
    const char* prefix = "DL1";
    const char* country = "DL";
    const char* continent = "EU";
    const char* band = "20m";
    const char* band2 = "20m";
};

class StatsDll {
public:
    // Loads Stats.dll from the given path, or from the folder of this program.
    explicit StatsDll(const std::string& path = DefaultPath());
    ~StatsDll();
    StatsDll(const StatsDll&) = delete;
    StatsDll& operator=(const StatsDll&) = delete;

    static std::string DefaultPath();
    HMODULE module() const { return module_; }
    FARPROC Export(const char* name) const;

    int AddData0(const QsoCall& q) const;
    int RemoveData0(const QsoCall& q) const;
    int ResetStats0(const ResetCall& r) const;
    int CheckCall0(const CheckCallArgs& c) const;
    int IsValidExchg0(const char* exchange) const;
    int GetExchgCount0(const char* a, const char* b, const char* c) const;
    int GetNumberOfSets() const;
    const char* GetResult0(int* out) const;
    std::string Results() const;  // GetResult0 with a scratch out argument
    const char* GetSetName(int set) const;
    void SetupSet0() const;
    unsigned setVersion(const char* text) const;

    // Buffers handed to CheckCall0 as its two writable arguments.
    char checkBuffer1[64] = {};
    char checkBuffer2[64] = {};

private:
    HMODULE module_ = nullptr;
};

// True once no Stats.dll is mapped in this process. A FreeLibrary during a call
// to the host's object returns before that: the call's helper ends the unload
// once the host answers.
bool StatsDllUnmapped();

// A fresh working directory with a Plugins folder, made current for the lifetime
// of the object and removed afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string previous_;
};

// Whole-file helpers for checking what the plug-in wrote.
bool FileExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
