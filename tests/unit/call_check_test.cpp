#include "rules/call_check.h"

#include <gtest/gtest.h>

namespace {

CheckArgs Check(std::string_view call, std::string_view band = "20m", std::string_view country = "DL",
                std::string_view prefix = "DL1") {
    CheckArgs a;
    a.call = call;
    a.mode = "RTTY";
    a.prefix = prefix;
    a.country = country;
    a.continent = "EU";
    a.band = band;
    return a;
}

void Log(ContestState& s, std::string call, std::string band, std::string nordicPrefix = "", int dupe = 0) {
    CInfo r;
    r.call = std::move(call);
    r.band = std::move(band);
    r.mode = "RTTY";
    r.nordicPrefix = std::move(nordicPrefix);
    r.dupe = r.notCounted = dupe;
    s.log.push_back(r);
}

TEST(CheckCall, RejectionValueDependsOnTheHostVersion) {
    ContestState s;
    for (const char* version : {"Tevo", "2.18", "2.19 "}) {
        s.hostVersion = version;
        EXPECT_EQ(CheckCall(s, Check("DL1ABC", "30m")), kNotAccepted) << version;
    }
    for (const char* version : {"2.19", "2.20"}) {
        s.hostVersion = version;
        EXPECT_EQ(CheckCall(s, Check("DL1ABC", "30m")), kOrdinary) << version;
        CheckArgs psk = Check("DL1ABC");
        psk.mode = "PSK31";
        EXPECT_EQ(CheckCall(s, psk), kOrdinary) << version;
    }
}

TEST(CheckCall, BandAndModeAreAcceptedIgnoringCase) {
    ContestState s;
    CheckArgs a = Check("DL1ABC", "20M");
    a.mode = "rtty";
    EXPECT_EQ(CheckCall(s, a), kNewPrefix);

    a.band2 = "20m";
    EXPECT_EQ(CheckCall(s, a), kNewPrefix);
    a.band2 = "";
    EXPECT_EQ(CheckCall(s, a), kNotAccepted);
    a.band2 = "40m";
    EXPECT_EQ(CheckCall(s, a), kNotAccepted);

    a.band2.reset();
    a.mode = "RTTY ";
    EXPECT_EQ(CheckCall(s, a), kNotAccepted);
    EXPECT_EQ(CheckCall(s, Check("DL1ABC", "")), kNotAccepted);
}

TEST(CheckCall, ShortCallsAndUnplacedCallsAreOrdinaryEvenWhenLogged) {
    ContestState s;
    Log(s, "K1A", "20m");
    Log(s, "DL1ABC", "20m");
    EXPECT_EQ(CheckCall(s, Check("K1A")), kOrdinary);
    EXPECT_EQ(CheckCall(s, Check("DL1ABC", "20m", "")), kOrdinary);
    // The acceptance tests still come first.
    EXPECT_EQ(CheckCall(s, Check("K1A", "30m")), kNotAccepted);
}

TEST(CheckCall, DupesAreExactCallAndBandWhateverTheirMark) {
    ContestState s;
    EXPECT_EQ(CheckCall(s, Check("DL1ABC")), kNewPrefix);
    Log(s, "DL1ABC", "20m", "", 1);
    EXPECT_EQ(CheckCall(s, Check("DL1ABC")), kDupe);
    EXPECT_EQ(CheckCall(s, Check("dl1abc")), kOrdinary);  // not a dupe, but a non-Nordic station is on 20m
    EXPECT_EQ(CheckCall(s, Check("DL1ABC", "20M")), kNewPrefix);
    EXPECT_EQ(CheckCall(s, Check("DL1ABC", "40m")), kNewPrefix);
}

TEST(CheckCall, NewPrefixIsPerBandAndPerNordicPrefix) {
    ContestState s;
    Log(s, "SM5AAA", "20m", "SM5");
    EXPECT_EQ(CheckCall(s, Check("SM5BBB", "20m", "SM", "SM5")), kOrdinary);
    EXPECT_EQ(CheckCall(s, Check("SM5BBB", "15m", "SM", "SM5")), kNewPrefix);
    EXPECT_EQ(CheckCall(s, Check("SM0BBB", "20m", "SM", "SM0")), kNewPrefix);

    // Stations outside the list carry no prefix: new until one of them is on the band.
    EXPECT_EQ(CheckCall(s, Check("DL1ABC", "20m")), kNewPrefix);
    Log(s, "G4ABC", "20m");
    EXPECT_EQ(CheckCall(s, Check("DL1ABC", "20m")), kOrdinary);
    // A prefix only counts for a Nordic-Baltic country.
    EXPECT_EQ(CheckCall(s, Check("SM5CCC", "20m", "DL", "SM5")), kOrdinary);
}

TEST(IsValidExchange, ExactlyFourDecimalDigits) {
    for (const char* ok : {"0123", "1999", "0000"}) EXPECT_EQ(IsValidExchange(ok), 1) << ok;
    for (const char* bad : {"599", "12345", "12a4", "", " 123", "\xB2\xB3\xB9\xB9"}) EXPECT_EQ(IsValidExchange(bad), 0) << bad;
}

}  // namespace
