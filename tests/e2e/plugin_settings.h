// The plug-in's settings file as the end-to-end suites read and write it: the
// host's working folder is the test's own, so the file is Plugins\VERDA-WW.ini
// under the current folder, section "Settings".
#pragma once

#include <windows.h>

#include <string>

inline constexpr const char* kPluginIni = ".\\Plugins\\VERDA-WW.ini";

// The key's value as the profile functions read it; "<missing>" when the file
// or the key is not there.
inline std::string Setting(const char* key) {
    char buf[512] = {};
    GetPrivateProfileStringA("Settings", key, "<missing>", buf, sizeof buf, kPluginIni);
    return buf;
}

inline void SetSetting(const char* key, const std::string& value) {
    WritePrivateProfileStringA("Settings", key, value.c_str(), kPluginIni);
}
