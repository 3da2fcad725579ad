// The Cabrillo export state: the header the operator confirmed in the header
// dialog, the stem of the file name and the finished QSO lines of the next file.
#pragma once

#include <string>
#include <vector>

// The 22 texts of the header dialog, one for each of its controls.
struct CabrilloHeaderFields {
    std::string callsign;
    std::string contest;
    std::string claimed;  // shown only; never stored or written
    std::string categoryOperator;
    std::string categoryAssisted;
    std::string categoryBand;
    std::string categoryMode;
    std::string categoryPower;
    std::string categoryTransmitter;
    std::string categoryStation;
    std::string categoryOverlay;
    std::string name;
    std::string address;  // after OK: file text, one "ADDRESS: " line per "<CR>"
    std::string addressCity;
    std::string addressStateProvince;
    std::string addressPostalCode;
    std::string addressCountry;
    std::string operators;
    std::string club;
    std::string email;
    std::string soapbox;  // after OK: file text, one "SOAPBOX: " line per line typed
    std::string arrlSection;

    bool operator==(const CabrilloHeaderFields&) const = default;
};

struct CabrilloExport : CabrilloHeaderFields {
    std::string fileStem;                // from the reset's callsign, never from the dialog
    std::vector<std::string> qsoLines;  // each ends in CR LF
};
