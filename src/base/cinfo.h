// CInfo: one QSO of the contest log, as the intake stores it.
#pragma once

#include <cstdint>
#include <string>

#include "base/date_time.h"

class CInfo {
public:
    std::string call;
    std::string country;
    std::string continent;
    std::string band;
    std::string mode;
    std::string rstRcvd;
    std::string rstSent;
    std::string exchRcvd;
    std::string exchSent;
    std::string nordicPrefix;  // the worked prefix, kept only for Nordic-Baltic stations
    std::string multExch;      // copy of exchRcvd; scoring keys its exchange lists on it
    std::uint32_t multExchKey = 0;  // multExch's key in the state's exchange keys; 0: none

    int freqKHz = 0;
    int areaJA = -1;
    int areaPY = -1;
    int areaK = -1;
    int areaVE = -1;
    int areaVK = -1;
    int areaZL = -1;
    int areaZS = -1;
    int callArea = -1;
    int notCounted = 0;
    int rejected = 0;
    int dupe = 0;

    DateTime time;
};
