#include "contest/scoring.h"

#include <gtest/gtest.h>

namespace {

const OwnStation kSweden{"SM", "EU"};

CInfo Qso(std::string call, std::string band, std::string country, std::string continent, std::string exch,
          std::string nordicPrefix = "", int dupe = 0) {
    CInfo r;
    r.call = std::move(call);
    r.band = std::move(band);
    r.mode = "RTTY";
    r.country = std::move(country);
    r.continent = std::move(continent);
    r.exchRcvd = exch;
    r.multExch = std::move(exch);
    r.nordicPrefix = std::move(nordicPrefix);
    r.dupe = r.notCounted = dupe;
    return r;
}

TEST(QsoPoints, FollowTheTableByBandAndRegion) {
    const CInfo nordic = Qso("OH2XX", "", "OH", "EU", "0001", "OH2");
    const CInfo ownCountry = Qso("SM0AAA", "", "SM", "EU", "0001", "SM0");  // Nordic-Baltic wins
    const CInfo europe = Qso("DL1ABC", "", "DL", "EU", "0001");
    const CInfo dx = Qso("K5ZD", "", "K", "NA", "0001");

    EXPECT_EQ(QsoPoints("80m", nordic, kSweden), 8);
    EXPECT_EQ(QsoPoints("20m", nordic, kSweden), 5);
    EXPECT_EQ(QsoPoints("40m", ownCountry, kSweden), 8);
    EXPECT_EQ(QsoPoints("160m", europe, kSweden), 5);
    EXPECT_EQ(QsoPoints("40m", europe, kSweden), 6);
    EXPECT_EQ(QsoPoints("15m", europe, kSweden), 2);
    EXPECT_EQ(QsoPoints("160m", dx, kSweden), 15);
    EXPECT_EQ(QsoPoints("40m", dx, kSweden), 10);
    EXPECT_EQ(QsoPoints("10m", dx, kSweden), 3);

    const OwnStation germany{"DL", "EU"};
    EXPECT_EQ(QsoPoints("80m", europe, germany), 5);
    EXPECT_EQ(QsoPoints("40m", europe, germany), 6);
    EXPECT_EQ(QsoPoints("20m", europe, germany), 1);

    // Only the six exact band names score.
    EXPECT_EQ(QsoPoints("80M", dx, kSweden), 0);
    EXPECT_EQ(QsoPoints("30m", dx, kSweden), 0);
}

TEST(QsoPoints, SingleQsoOnTheLowBandsIgnoresTheOwnCountry) {
    // Own country, but the host places the station on another continent.
    const OwnStation us{"K", "NA"};
    const CInfo kh = Qso("K6ABC", "", "K", "OC", "0001");
    EXPECT_EQ(QsoPoints("80m", kh, us), 5);
    EXPECT_EQ(SingleQsoPoints("80m", kh, us), 15);
    EXPECT_EQ(SingleQsoPoints("40m", kh, us), 10);
    EXPECT_EQ(SingleQsoPoints("20m", kh, us), 1);

    const CInfo home = Qso("K1AB", "", "K", "NA", "0001");
    EXPECT_EQ(SingleQsoPoints("160m", home, us), 5);
    EXPECT_EQ(SingleQsoPoints("40m", home, us), 6);
    const CInfo nordic = Qso("OH2XX", "", "OH", "NA", "0001", "OH2");
    EXPECT_EQ(SingleQsoPoints("80m", nordic, us), 8);
    EXPECT_EQ(SingleQsoPoints("80M", home, us), 0);
}

TEST(ScoreLog, CountsQsosMultipliersAndDupesPerBand) {
    const std::vector<CInfo> log = {
        Qso("OH2XX", "20m", "OH", "EU", "0042", "OH2"),
        Qso("DL1ABC", "20m", "DL", "EU", "0042"),           // same exchange: no new multiplier
        Qso("DL2ABC", "20m", "DL", "EU", "042"),            // compared as text: a new one
        Qso("OH2XX", "20m", "OH", "EU", "0099", "OH2", 1),  // dupe
        Qso("OH3ZZ", "40m", "OH", "EU", "0042", "OH2"),     // same prefix on another band counts again
        Qso("", "20m", "DL", "EU", "0777", "", 1),          // no call: ignored, even as a dupe
        Qso("K5ZD", "10m", "K", "NA", "0100"),              // a band not in the list
    };
    const ScoreSheet s = ScoreLog(log, {"40m", "20m"}, kSweden);

    ASSERT_EQ(s.bands.size(), 2u);
    const BandFigures& forty = s.bands[0];
    EXPECT_EQ(forty.band, "40m");
    EXPECT_EQ(forty.qsos, 1);
    EXPECT_EQ(forty.points, 8);
    EXPECT_EQ(forty.exchangeMults, 1);
    EXPECT_EQ(forty.prefixMults, 1);
    EXPECT_EQ(forty.dupes, 0);

    const BandFigures& twenty = s.bands[1];
    EXPECT_EQ(twenty.qsos, 3);
    EXPECT_EQ(twenty.points, 5 + 2 + 2);
    EXPECT_EQ(twenty.exchangeMults, 2);
    EXPECT_EQ(twenty.exchanges, (TextList{"0042", "042"}));
    EXPECT_EQ(twenty.prefixMults, 1);
    EXPECT_EQ(twenty.prefixes, (TextList{"OH2"}));
    EXPECT_EQ(twenty.dupes, 1);

    EXPECT_EQ(s.qsos, 4);
    EXPECT_EQ(s.points, 17);
    EXPECT_EQ(s.exchangeMults, 3);
    EXPECT_EQ(s.prefixMults, 2);
    EXPECT_EQ(s.dupes, 1);
    EXPECT_EQ(s.score, 17 * 5);
}

// Intake keys every exchange; records from elsewhere may come without. Either
// way, and mixed, a text is one multiplier per band, listed where it first shows.
TEST(ScoreLog, KeyedAndUnkeyedExchangesMakeTheSameLists) {
    std::vector<CInfo> log;
    for (int i = 0; i < 300; ++i)
        log.push_back(Qso("K" + std::to_string(i), i % 3 ? "20m" : "40m", "K", "NA", std::to_string(i * 7 % 50)));
    const TextList bands = {"40m", "20m"};
    const ScoreSheet plain = ScoreLog(log, bands, kSweden);

    TextKeys keys;
    for (auto& r : log) r.multExchKey = keys.KeyOf(r.multExch);
    const ScoreSheet keyed = ScoreLog(log, bands, kSweden);
    // Alternate runs of the same texts with and without their keys.
    for (std::size_t i = 0; i < log.size(); ++i)
        if (i / 50 % 2 == 1) log[i].multExchKey = TextKeys::none;
    const ScoreSheet mixed = ScoreLog(log, bands, kSweden);

    ASSERT_EQ(plain.bands.size(), 2u);
    EXPECT_EQ(plain.bands[1].exchanges.size(), 50u);
    for (const ScoreSheet* s : {&keyed, &mixed}) {
        EXPECT_EQ(s->exchangeMults, plain.exchangeMults);
        for (std::size_t b = 0; b < bands.size(); ++b) EXPECT_EQ(s->bands[b].exchanges, plain.bands[b].exchanges);
    }
}

TEST(ScoreLog, LargeScoresDoNotWrap) {
    std::vector<CInfo> log;
    const TextList bands = {"160m", "80m", "40m", "20m", "15m", "10m"};
    for (const auto& band : bands)
        for (int i = 0; i < 5000; ++i) log.push_back(Qso("K" + std::to_string(i), band, "K", "NA", std::to_string(i)));
    const ScoreSheet s = ScoreLog(log, bands, kSweden);
    EXPECT_EQ(s.points, 5000 * (15 + 15 + 10 + 3 + 3 + 3));
    EXPECT_EQ(s.exchangeMults, 30000);
    EXPECT_EQ(s.score, std::int64_t{245000} * 30000);
}

TEST(ScoreLog, BandTextInAnotherCaseIsItsOwnRowAndFillsNoWindowList) {
    const std::vector<CInfo> log = {
        Qso("K5ZD", "80m", "K", "NA", "0100"),
        Qso("UA9XX", "80M", "UA9", "AS", "0200"),
        Qso("OH2XX", "20m", "OH", "EU", "0042", "OH2"),
    };
    ScoreSheet s = ScoreLog(log, {"80m", "80M", "20m"}, kSweden);
    ASSERT_EQ(s.bands.size(), 3u);
    EXPECT_EQ(s.bands[1].qsos, 1);
    EXPECT_EQ(s.bands[1].points, 0);
    EXPECT_EQ(s.bands[1].exchangeMults, 1);

    PerBandLists exch, nordic;
    exch[4] = {"kept"};  // 15m is not part of this pass
    exch[3] = {"stale"};
    StoreBandMultipliers(s, exch, nordic);
    EXPECT_EQ(exch[1], (TextList{"0100"}));
    EXPECT_EQ(exch[3], (TextList{"0042"}));
    EXPECT_EQ(nordic[3], (TextList{"OH2"}));
    EXPECT_EQ(exch[4], (TextList{"kept"}));
    EXPECT_TRUE(nordic[1].empty());
}

TEST(SortBands, ContestBandsComeFromTheLowestFrequencyDown) {
    TextList bands = {"20m", "80m", "10m", "160m"};
    SortBands(bands);
    EXPECT_EQ(bands, (TextList{"160m", "80m", "20m", "10m"}));

    TextList mixed = {"10m", "15m", "80M", "40m", "20m", "80m", "160m"};
    SortBands(mixed);
    EXPECT_EQ(mixed, (TextList{"160m", "80m", "80M", "40m", "20m", "15m", "10m"}));

    // Texts of 20 characters or more are compared unpadded.
    TextList longText = {"160m", "ABCDEFGHIJKLMNOPQRSTUV", "10m"};
    SortBands(longText);
    EXPECT_EQ(longText, (TextList{"ABCDEFGHIJKLMNOPQRSTUV", "160m", "10m"}));

    TextList none;
    SortBands(none);
    EXPECT_TRUE(none.empty());
}

}  // namespace
