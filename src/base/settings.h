// Where the plug-in keeps its settings, relative to the host's working directory,
// and the name of every key it reads or writes there.
#pragma once

#include <string_view>

inline constexpr const char* kSettingsFile = "Plugins\\VERDA-WW.ini";
inline constexpr const char* kSettingsSection = "Settings";

namespace setting {

// 1 keeps the next reset from opening the windows; that reset clears it.
inline constexpr const char* kStart = "Start";
// The claimed score of the last results call, for the Cabrillo header.
inline constexpr const char* kClaimed = "Claimed";

// The operator windows: the wanted side windows, on top or not, and positions.
inline constexpr const char* kShowMultiplier = "setup_view_pref";
inline constexpr const char* kShowPrefix = "setup_view_prev_qso";
inline constexpr const char* kWindowsOnTop = "setup_window_on_top";
inline constexpr const char* kSetupX = "setup_x";
inline constexpr const char* kSetupY = "setup_y";
inline constexpr const char* kMultiplierX = "dxcc_x";
inline constexpr const char* kMultiplierY = "dxcc_y";
inline constexpr const char* kPrefixX = "prev_x";
inline constexpr const char* kPrefixY = "prev_y";

// The Cabrillo header the operator typed, kept for the next log.
inline constexpr const char* kOperators = "Operators";
inline constexpr const char* kName = "Name";
inline constexpr const char* kAddress = "Address";
inline constexpr const char* kAddressCity = "Address-City";
inline constexpr const char* kAddressState = "Address-State";
inline constexpr const char* kAddressPostalCode = "Address-PostalCode";
inline constexpr const char* kAddressCountry = "Address-Country";
inline constexpr const char* kContest = "Contest";
inline constexpr const char* kEmail = "Email";
inline constexpr const char* kClub = "Club";
inline constexpr const char* kLocation = "Location";
inline constexpr const char* kSoapBox = "SoapBox";
inline constexpr const char* kOverlay = "Overlay";

}  // namespace setting
