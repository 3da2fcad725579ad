// A QSO as the unit tests and the native benchmark hand it to the intake, with
// the values most of them take: SM5XYZ works DL1ABC on 20m RTTY at 14,085.999 kHz,
// reports 599 sent and 579 received, numbers 0001 sent and 0042 received. A test
// changes what it is about.
#pragma once

#include <string>

#include "contest/qso_args.h"

struct TestQso {
    std::string call = "DL1ABC", band = "20m", mode = "RTTY", exchRcvd = "0042", exchSent = "0001";
    std::string prefix = "DL1", country = "DL", continent = "EU";
    std::string rstSent = "599", rstRcvd = "579";
    DateTime time = FromCalendar(2021, 3, 6, 12, 0, 0);
    unsigned freqHz = 14085999;

    // The AddData0 and RemoveData0 arguments: views of this QSO's texts, valid while it lives.
    QsoArgs args() const {
        return {.myCall = "SM5XYZ", .call = call, .time = time, .freqHz = freqHz, .mode = mode, .rstSent = rstSent,
                .rstRcvd = rstRcvd, .exchSent = exchSent, .exchRcvd = exchRcvd, .prefix = prefix, .country = country,
                .continent = continent, .band = band};
    }
};
