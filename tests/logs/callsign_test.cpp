// Callsign analysis against Debian's cty.dat: real calls of the Nordic-Baltic
// islands, Russia and portable forms; and the country file reader on small texts.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "logs/callsign.h"
#include "logs/cty_dat.h"
#include "logs/input_error.h"

namespace {

const CountryFile& DebianCty() {
    static const CountryFile cty = [] {
        std::ifstream in(CTY_DAT, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return CountryFile::Parse(text.str(), CTY_DAT);
    }();
    return cty;
}

TEST(Callsign, RealCallsGetPrefixCountryAndContinent) {
    const struct {
        const char* call;
        const char* prefix;
        const char* country;
        const char* continent;
    } table[] = {
        // Nordic-Baltic, islands included
        {"OH2BH", "OH2", "OH", "EU"},   {"OH0Z", "OH0", "OH0", "EU"},   {"OJ0B", "OJ0", "OJ0", "EU"},
        {"JW5E", "JW5", "JW", "EU"},    {"JX2US", "JX2", "JX", "EU"},   {"OY1CT", "OY1", "OY", "EU"},
        {"OX3XR", "OX3", "OX", "NA"},   {"TF3CW", "TF3", "TF", "EU"},   {"ES5TV", "ES5", "ES", "EU"},
        {"YL2KL", "YL2", "YL", "EU"},   {"LY4L", "LY4", "LY", "EU"},    {"LA9VDA", "LA9", "LA", "EU"},
        {"OZ1ABC", "OZ1", "OZ", "EU"},  {"SM5XYZ", "SM5", "SM", "EU"},
        // Russia and its neighbours
        {"UA3ABC", "UA3", "UA", "EU"},  {"RA9ABC", "RA9", "UA9", "AS"}, {"UA0ABC", "UA0", "UA9", "AS"},
        {"UA2FZ", "UA2", "UA2", "EU"},  {"R9ABC/1", "R1", "UA", "EU"},  {"UR5ABC", "UR5", "UR", "EU"},
        {"UN7ABC", "UN7", "UN", "AS"},  {"EW1ABC", "EW1", "EU", "EU"},
        // Portable forms
        {"DL/OH2BH", "DL0", "DL", "EU"},        {"OH2BH/OH0", "OH0", "OH0", "EU"},
        {"SM5XYZ/P", "SM5", "SM", "EU"},        {"OH2BH/MM", "OH2", "OH", "EU"},
        {"W1AW/6", "W6", "K", "NA"},            {"KH6/K5ZD", "KH6", "KH6", "OC"},
        {"OH0/SM5XYZ/P", "OH0", "OH0", "EU"},   {"ve3abc/qrp", "VE3", "VE", "NA"},
        // Exact-call entries win; a call without digits gets "0"
        {"OH0HG/1", "OH1", "OH", "EU"},         {"RAEM", "RA0", "UA9", "AS"},
        // Unknown to the country file: replayed without country
        {"Q1ABC", "Q1", "", ""},
    };
    for (const auto& row : table) {
        const CallAnalysis a = AnalyseCall(DebianCty(), row.call);
        EXPECT_EQ(a.prefix, row.prefix) << row.call;
        EXPECT_EQ(a.country, row.country) << row.call;
        EXPECT_EQ(a.continent, row.continent) << row.call;
    }
}

TEST(CountryFile, AwardOnlyEntitiesAreLeftOutAndOverridesApply) {
    const CountryFile cty = CountryFile::Parse(
        "Svalbard:  40:  18:  EU:   78.00:   -16.00:    -1.0:  JW:\n    JW;\n"
        "Bear Island:  40:  18:  EU:   74.43:   -19.08:    -1.0:  *JW/b:\n    JW0B,=JW5X;\n"
        "Asiatic Russia:  17:  30:  AS:  55.88:  -84.08:  -7.0:  UA9:\n"
        "    R9(17)[30],=UA9ABC/1{EU}<55.0/-37.0>~-3.0~,\n    UA9;\n",
        "small.dat");
    EXPECT_EQ(cty.entityCount(), 2u);
    EXPECT_EQ(AnalyseCall(cty, "JW0BX").country, "JW");
    EXPECT_EQ(AnalyseCall(cty, "JW5X").country, "JW");
    const CallAnalysis moved = AnalyseCall(cty, "UA9ABC/1");
    EXPECT_EQ(moved.country, "UA9");
    EXPECT_EQ(moved.continent, "EU");
    EXPECT_EQ(AnalyseCall(cty, "R9XX").continent, "AS");

    const struct {
        const char* text;
        const char* message;
    } bad[] = {
        {"", "bad.dat: no entities (is this a cty.dat country file?)"},
        {"Sweden: 14: 18: EU: 58.9: -15.3: -1.0: SM:\n  SM,7S", "bad.dat: line 1: the entity Sweden is not closed by ';'"},
        {"Sweden: 14: 18: EU: 58.9: -15.3: -1.0: SM:\n SM;\nNoColons here;", "bad.dat: line 3: expected an entity line \"Name: CQ: ITU: Continent: Lat: Long: TZ: Prefix:\""},
        {"Sweden: 14: 18: XX: 58.9: -15.3: -1.0: SM:\n SM;", "bad.dat: line 1: \"XX\" is not a continent"},
    };
    for (const auto& b : bad) {
        try {
            CountryFile::Parse(b.text, "bad.dat");
            ADD_FAILURE() << b.text;
        } catch (const InputError& e) {
            EXPECT_STREQ(e.what(), b.message);
        }
    }
}

}  // namespace
