// Where the plug-in keeps its settings, relative to the host's working directory.
#pragma once

inline constexpr const char* kSettingsFile = "Plugins\\VERDA-WW.ini";
inline constexpr const char* kSettingsSection = "Settings";
