#include "base/cinfo.h"
#include "contest/contest_rules.h"
#include "contest/countries.h"

#include <gtest/gtest.h>

namespace {

TEST(ContestRules, BandsAndModesIgnoreCaseButMatchWholeTexts) {
    EXPECT_TRUE(g_bands.Contains("20M"));
    EXPECT_TRUE(g_bands.Contains("160m"));
    EXPECT_FALSE(g_bands.Contains("20"));
    EXPECT_FALSE(g_bands.Contains("30m"));
    EXPECT_FALSE(g_bands.Contains(""));
    EXPECT_TRUE(g_modes.Contains("rtty"));
    EXPECT_FALSE(g_modes.Contains("RTTY "));
    EXPECT_EQ(g_bands.IndexOf("160m"), 0);
    EXPECT_EQ(g_bands.IndexOf("10m"), 5);
    EXPECT_EQ(g_bands.IndexOf("80M"), -1);
}

TEST(CInfo, FreshRecordHasNoCallAreaAndNoFlags) {
    CInfo r;
    for (int v : {r.areaJA, r.areaPY, r.areaK, r.areaVE, r.areaVK, r.areaZL, r.areaZS, r.callArea}) EXPECT_EQ(v, -1);
    EXPECT_EQ(r.freqKHz + r.notCounted + r.rejected + r.dupe, 0);
    EXPECT_EQ(r.time.status, DateTimeStatus::valid);
    EXPECT_EQ(r.time.value, 0.0);
}

TEST(Countries, ListsCompareWholeTextsExactly) {
    for (const char* c : {"ES", "JW", "JX", "LA", "LY", "OH", "OH0", "OX", "OY", "OZ", "SM", "TF", "YL"})
        EXPECT_TRUE(IsNordicBaltic(c)) << c;
    for (const char* c : {"OJ0", "oh", "OH ", "", "SM0", "UA"}) EXPECT_FALSE(IsNordicBaltic(c)) << c;
    for (const char* c : {"UA", "UA2", "UA9", "CE9/KC4", "UR", "UN", "EU"}) EXPECT_TRUE(IsRussianLanguage(c)) << c;
    for (const char* c : {"CE9", "ua", "DL", ""}) EXPECT_FALSE(IsRussianLanguage(c)) << c;
}

TEST(Countries, CallAreaTakesTheLastDigitForTheSevenCountries) {
    CInfo k;
    SetCallArea(k, "K", "K5");
    EXPECT_EQ(k.areaK, 5);
    EXPECT_EQ(k.callArea, 5);
    EXPECT_EQ(k.areaJA, -1);

    CInfo ja;
    SetCallArea(ja, "JA", "J1A2");
    EXPECT_EQ(ja.areaJA, 2);
    EXPECT_EQ(ja.callArea, 2);

    CInfo vk;
    SetCallArea(vk, "VK", "VK");
    EXPECT_EQ(vk.areaVK, -1);
    EXPECT_EQ(vk.callArea, -1);

    CInfo kh6;
    SetCallArea(kh6, "KH6", "KH6");
    EXPECT_EQ(kh6.areaK, -1);
    EXPECT_EQ(kh6.callArea, -1);

    struct Case { const char* country; int CInfo::*field; };
    for (auto [country, field] : {Case{"VE", &CInfo::areaVE}, Case{"ZL", &CInfo::areaZL}, Case{"ZS", &CInfo::areaZS},
                                  Case{"PY", &CInfo::areaPY}}) {
        CInfo r;
        SetCallArea(r, country, "X0");
        EXPECT_EQ(r.*field, 0) << country;
    }
}

TEST(Countries, PointClassNordicBalticFirstThenOwnCountryThenContinent) {
    auto classify = [](const char* country, const char* continent, const char* myCountry, const char* myCont) {
        CInfo r;
        r.country = country;
        r.continent = continent;
        return ClassifyQso(r, myCountry, myCont);
    };
    EXPECT_EQ(classify("SM", "EU", "SM", "EU"), PointClass::nordicBaltic);
    EXPECT_EQ(classify("DL", "EU", "DL", "EU"), PointClass::ownCountry);
    EXPECT_EQ(classify("DL", "AS", "DL", "EU"), PointClass::ownCountry);
    EXPECT_EQ(classify("F", "EU", "DL", "EU"), PointClass::ownContinent);
    EXPECT_EQ(classify("K", "NA", "DL", "EU"), PointClass::otherContinent);
    EXPECT_EQ(classify("", "NA", "", "EU"), PointClass::ownCountry);  // two empty texts are equal
    EXPECT_EQ(classify("K", "NA", "", "EU"), PointClass::otherContinent);
}

}  // namespace
