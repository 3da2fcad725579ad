#include "stand_in_host.h"

#include <oleauto.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "dll/export_layout.h"
#include "unload_watchdog.h"

namespace {

using namespace export_layout;


// Junk for the arguments the plug-in must not read, distinct per position.
Text Junk(int position) {
    static char texts[40][16];
    std::snprintf(texts[position], sizeof texts[position], "junk%02d", position);
    return texts[position];
}
const HostDateTime kJunkTime1 = HostTime(1999, 1, 1, 1, 1);
const HostDateTime kJunkTime2 = HostTime(1998, 2, 2, 2, 2);
const HostDateTime kJunkTime3 = HostTime(1997, 3, 3, 3, 3);

template <typename Fn>
Fn Get(const StatsDll& dll, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(dll.Export(name)));
}

int CallQso(const StatsDll& dll, const char* name, const QsoCall& q) {
    auto fn = Get<QsoFn>(dll, name);
    return fn(q.myCall, q.call, q.nullTime ? nullptr : &q.time, &kJunkTime1, &kJunkTime2, &kJunkTime3, 7007,
              q.freqHz, q.mode, q.rstSent, q.rstRcvd, q.exchSent, q.exchRcvd, Junk(14), Junk(15), Junk(16), Junk(17),
              Junk(18), Junk(19), Junk(20), Junk(21), q.prefix, q.country, 24024, 25025, 26026, 27.27, 28.28,
              Junk(29), q.continent, Junk(31), q.band, Junk(33));
}

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = dir + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &data));
        FindClose(h);
    }
    SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(dir.c_str());
}

}  // namespace

HostDateTime HostTime(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    HostDateTime t;
    if (!SystemTimeToVariantTime(&st, &t.value)) t.status = 1;
    return t;
}

StatsDll::StatsDll(const std::string& path) {
    module_ = LoadLibraryA(path.c_str());
    if (!module_) throw std::runtime_error("cannot load " + path);
}

StatsDll::~StatsDll() {
    if (!module_) return;
    UnloadWatch watch(module_);
    FreeLibrary(module_);
}

bool StatsDllUnmapped() {
    return GetModuleHandleW(L"Stats.dll") == nullptr && GetModuleHandleW(L"StatsEngine.dll") == nullptr;
}

std::string StatsDll::DefaultPath() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string dir(exe);
    dir.resize(dir.find_last_of("\\/") + 1);
    return dir + "Stats.dll";
}

FARPROC StatsDll::Export(const char* name) const {
    FARPROC p = GetProcAddress(module_, name);
    if (!p) throw std::runtime_error(std::string("Stats.dll does not export ") + name);
    return p;
}

int StatsDll::AddData0(const QsoCall& q) const { return CallQso(*this, "AddData0", q); }

int StatsDll::RemoveData0(const QsoCall& q) const { return CallQso(*this, "RemoveData0", q); }

int StatsDll::ResetStats0(const ResetCall& r) const {
    auto fn = Get<ResetFn>(*this, "ResetStats0");
    return fn(r.hostFolder, r.makeCabrillo, r.myCall, r.nullDates ? nullptr : &r.start,
              r.nullDates ? nullptr : &r.end, Junk(6), Junk(7), Junk(8), Junk(9), Junk(10), Junk(11), Junk(12),
              Junk(13), r.myPrefix, r.myCountry, 16016, 17017, 18018, 19.19, 20.20, Junk(21), r.myContinent,
              Junk(23));
}

int StatsDll::CheckCall0(const CheckCallArgs& c) const {
    auto fn = Get<CheckFn>(*this, "CheckCall0");
    auto* self = const_cast<StatsDll*>(this);
    return fn(c.call, 2002, 3003, c.mode, Junk(5), Junk(6), Junk(7), Junk(8), Junk(9), Junk(10), Junk(11), Junk(12),
              c.prefix, c.country, 15015, 16016, 17017, 18.18, 19.19, Junk(20), c.continent, Junk(22), Junk(23),
              Junk(24), c.band, c.band2, self->checkBuffer1, self->checkBuffer2);
}

int StatsDll::IsValidExchg0(const char* exchange) const {
    return Get<ExchFn>(*this, "IsValidExchg0")(exchange, Junk(2), Junk(3), Junk(4), 5005, 6006, 7007);
}

int StatsDll::GetExchgCount0(const char* a, const char* b, const char* c) const {
    return Get<CountFn>(*this, "GetExchgCount0")(a, b, c);
}

int StatsDll::GetNumberOfSets() const { return Get<SetsFn>(*this, "GetNumberOfSets")(); }

const char* StatsDll::GetResult0(int* out) const { return Get<ResultFn>(*this, "GetResult0")(out); }

std::string StatsDll::Results() const {
    int out = 0;
    const char* text = GetResult0(&out);
    return text ? text : "";
}

const char* StatsDll::GetSetName(int set) const { return Get<NameFn>(*this, "GetSetName")(set); }

void StatsDll::SetupSet0() const { Get<SetupFn>(*this, "SetupSet0")(); }

unsigned StatsDll::setVersion(const char* text) const { return Get<VersionFn>(*this, "setVersion")(text); }

ScratchFolder::ScratchFolder() {
    static int counter = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    previous_ = cwd;
    path_ = std::string(temp) + "stats-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
    if (!CreateDirectoryA(path_.c_str(), nullptr) || !CreateDirectoryA((path_ + "\\Plugins").c_str(), nullptr))
        throw std::runtime_error("cannot create " + path_);
    SetCurrentDirectoryA(path_.c_str());
}

ScratchFolder::~ScratchFolder() {
    SetCurrentDirectoryA(previous_.c_str());
    RemoveTree(path_);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
