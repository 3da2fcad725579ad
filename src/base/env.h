// Env: everything the portable core needs from the platform. The DLL implements
// it over Win32 (env_win32.cpp); tests implement it in memory. Calls come from the
// host's thread, except the settings, which the window thread uses too.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CabrilloHeaderFields;

enum class MessageIcon { none, information };

class Env {
public:
    Env() = default;
    Env(const Env&) = delete;
    Env& operator=(const Env&) = delete;
    virtual ~Env() = default;

    // The plug-in's settings: section "Settings" of "Plugins\VERDA-WW.ini" in the
    // working directory. A missing key reads as the empty text; a value of any
    // length comes back whole. A write that fails is silently lost.
    virtual std::string ReadSetting(std::string_view key) = 0;
    virtual void WriteSetting(std::string_view key, std::string_view value) = 0;
    // As ReadSetting, but a missing key gives no value while an empty one gives "".
    virtual std::optional<std::string> ReadSettingIfPresent(std::string_view key) = 0;

    // Names (without folder) of the files matching a wildcard pattern such as
    // "C:\\Tevo\\*.ini", in the file system's order; empty when none match.
    virtual std::vector<std::string> FindFiles(const std::string& pattern) = 0;

    // True while the window thread's setup window exists.
    virtual bool WindowsOpen() = 0;
    // Asks the setup window, if it exists, to bring the side windows up to date.
    virtual void PostUpdateWindows() = 0;
    // Starts the window thread with its setup window.
    virtual void StartWindowThread() = 0;

    // A modal message box owned by the active window (none when there is none);
    // an empty caption gives the system's default caption. Returns when closed.
    virtual void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) = 0;

    // The Cabrillo header dialog, modal and owned by the active window, showing
    // `fields`. True when closed with OK, the operator's texts then in `fields`.
    virtual bool RunCabrilloDialog(CabrilloHeaderFields& fields) = 0;

    // A secret (the live scoreboard's key) sealed for the current user as text
    // fit for the settings, and read back; no value where that cannot be done.
    virtual std::optional<std::string> ProtectSecret(std::string_view) { return std::nullopt; }
    virtual std::optional<std::string> UnprotectSecret(std::string_view) { return std::nullopt; }
};
