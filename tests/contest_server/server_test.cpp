// contest-server through its HTTP side: what it refuses and why, what it stores,
// and other loggers' posts in both encodings.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "test_server.h"

namespace {

const std::string kGood = Not1mmPost("SM5XYZ", 15, 40, 10, 400);

httplib::Result Send(const TestServer& server, const std::string& body, const std::string& key,
                     const std::string& user = "SM5XYZ", const std::string& type = "text/xml") {
    httplib::Client c = server.Client();
    if (!key.empty()) c.set_basic_auth(user.c_str(), key.c_str());
    return c.Post("/post", body, type.c_str());
}

std::string With(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

TEST(ContestServer, RefusesWithAClearStatusAndStoresNothing) {
    TestServer server;
    const std::string key = server.KeyFor("SM5XYZ");
    server.KeyFor("DL1ABC");
    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>";
    struct Case {
        const char* what;
        std::string body, key, user;
        int status;
        const char* says;
    } cases[] = {
        {"no key", kGood, "", "", 401, "no key"},
        {"a key no station has", kGood, "guess", "SM5XYZ", 401, "not known"},
        {"a user who does not hold the key", kGood, key, "DL1ABC", 401, "not DL1ABC's"},
        {"another station's post", Not1mmPost("DL1ABC", 15, 40, 10, 400), key, "SM5XYZ", 403,
         "the key is SM5XYZ's, the post is for DL1ABC"},
        {"malformed XML", kGood.substr(0, kGood.size() - 20), key, "", 400, "malformed XML"},
        {"another document", "<results><call>SM5XYZ</call></results>", key, "", 400, "not <dynamicresults>"},
        {"a DTD", laughs + kGood.substr(21), key, "", 400, "DTD is refused"},
        {"an entity of its own", With(kGood, "<club></club>", "<club>&xxe;</club>"), key, "", 400,
         "entity &xxe; is refused"},
        {"over 64 KB", With(kGood, "<club></club>", "<!--" + std::string(65536, '-') + "-->"), key, "", 413,
         "at most 65536 bytes"},
        {"no score", With(kGood, "<score>400</score>", ""), key, "", 400, "missing <score>"},
        {"a negative score", With(kGood, "<score>400</score>", "<score>-400</score>"), key, "", 400,
         "not a whole number"},
        {"a call that is none", With(kGood, "<call>SM5XYZ</call>", "<call>SM5 XYZ</call>"), key, "", 400,
         "is not a call"},
        {"a timestamp in another form", With(kGood, "2021-03-06 12:00:00", "06.03.2021 12:00"), key, "", 400,
         "is not yyyy-mm-dd hh:mm:ss"},
        {"an unknown contest", Not1mmPost("SM5XYZ", 15, 40, 10, 400, "2021-03-06 12:00:00", "CQ-WW-RTTY"), key, "",
         422, "unknown contest \"CQ-WW-RTTY\""},
        {"a timestamp far outside the contest", Not1mmPost("SM5XYZ", 15, 40, 10, 400, "2021-03-09 12:00:00"), key,
         "", 422, "outside the contest (2021-03-06 00:00:00 to 2021-03-07 23:59:00 UTC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto r = Send(server, c.body, c.key, c.user);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, c.status);
        EXPECT_NE(r->body.find(c.says), std::string::npos) << r->body;
        if (c.status == 401) {
            EXPECT_TRUE(r->has_header("WWW-Authenticate"));
        }
    }
    EXPECT_EQ(server.store().PostCount("SM5XYZ"), 0);
    EXPECT_EQ(server.store().PostCount("DL1ABC"), 0);
}

TEST(ContestServer, RefusesATimestampAheadOfItsClockAndAStationOverItsRate) {
    ContestConfig config = SampleContest();
    config.postsPerMinute = 2;
    TestServer server(config);
    PostIntake intake(server.store(), config);
    const std::string key = server.KeyFor("SM5XYZ");
    const UtcSeconds noon = *ParseUtc("2021-03-06 12:00:00");
    const PostReply ahead = intake.Take({Not1mmPost("SM5XYZ", 1, 1, 1, 1, "2021-03-06 13:30:00"), key, ""}, noon);
    EXPECT_EQ(ahead.status, 422);
    EXPECT_NE(ahead.text.find("ahead of this server's clock"), std::string::npos) << ahead.text;

    for (int i = 0; i < 2; ++i) EXPECT_EQ(intake.Take({kGood, key, ""}, noon + i).status, 200);
    const PostReply third = intake.Take({kGood, key, ""}, noon + 30);
    EXPECT_EQ(third.status, 429);
    EXPECT_NE(third.text.find("at most 2 a minute"), std::string::npos) << third.text;
    EXPECT_EQ(intake.Take({kGood, key, ""}, noon + 61).status, 200);
    EXPECT_EQ(server.store().PostCount("SM5XYZ"), 3);
}

TEST(ContestServer, StoresEveryPostKeepsTheLatestAndFlagsABreakdownThatDoesNotAddUp) {
    TestServer server;
    const std::string key = server.KeyFor("SM5XYZ");
    // A retry that arrives after a newer post does not replace it.
    EXPECT_EQ(Send(server, Not1mmPost("SM5XYZ", 1, 3, 1, 3, "2021-03-06 10:00:00"), key)->status, 200);
    EXPECT_EQ(Send(server, Not1mmPost("SM5XYZ", 3, 9, 3, 27, "2021-03-06 10:04:00"), key)->status, 200);
    EXPECT_EQ(Send(server, Not1mmPost("SM5XYZ", 2, 6, 2, 12, "2021-03-06 10:02:00"), key)->status, 200);
    EXPECT_EQ(server.store().PostCount("SM5XYZ"), 3);
    EXPECT_EQ(server.store().LatestPost("SM5XYZ")->score, 27);

    const std::string halfTheQsos = With(Not1mmPost("SM5XYZ", 30, 90, 30, 2700, "2021-03-06 10:06:00"),
                                         "<qso band=\"total\"", "<qso band=\"20\" mode=\"RTTY\">15</qso><qso band=\"total\"");
    const auto flagged = Send(server, halfTheQsos, key);
    EXPECT_EQ(flagged->status, 422);
    EXPECT_NE(flagged->body.find("stored, but flagged: QSOs by band add up to 15, the total says 30"),
              std::string::npos)
        << flagged->body;
    const auto wrongScore = Send(server, Not1mmPost("SM5XYZ", 30, 90, 30, 2800, "2021-03-06 10:08:00"), key);
    EXPECT_NE(wrongScore->body.find("score 2800 is not points 90 x multipliers 30 = 2700"), std::string::npos)
        << wrongScore->body;
    EXPECT_EQ(server.store().PostCount("SM5XYZ"), 5);

    const auto board = server.Client().Get("/scores.json");
    EXPECT_NE(board->body.find("\"call\":\"SM5XYZ\",\"score\":2800,\"qsos\":30,\"points\":90,\"mults\":30"),
              std::string::npos)
        << board->body;
    EXPECT_NE(board->body.find("\"flag\":\"score 2800 is not points"), std::string::npos);
}

// TR4W posts a form whose xml= field is the document itself, not encoded, with
// the breakdown per band and mode (tr4w/src/uGetScores.pas, MakePOSTRequestNew and
// BuildDynamicResultsXml). A club name with "&amp;" would end an encoded field.
TEST(ContestServer, TakesOtherLoggersPostsInBothEncodings) {
    TestServer server;
    const std::string ua = server.KeyFor("UA9XX");
    const std::string tr4w =
        "xml=<?xml version=\"1.0\"?><dynamicresults><soft>TR4W</soft><version>4.131.2</version>"
        "<contest>VERDA-WW-DX</contest><call>UA9XX</call><ops>UA9XX</ops><club>Ural DX &amp; Contest Club</club>"
        "<class ops=\"SINGLE-OP\" mode=\"RTTY\" power=\"HIGH\" bands=\"ALL\" transmitter=\"ONE\" "
        "assisted=\"ASSISTED\" overlay=\"N/A\"></class><qth><dxcccountry>UA9</dxcccountry><cqzone>17</cqzone>"
        "<iaruzone>30</iaruzone><grid4>MO06</grid4></qth><breakdown>"
        "<qso band=\"40\" mode=\"DIG\">120</qso><qso band=\"20\" mode=\"DIG\">200</qso>"
        "<qso band=\"total\" mode=\"ALL\">320</qso>"
        "<mult band=\"40\" mode=\"DIG\" type=\"prefix\">40</mult><mult band=\"20\" mode=\"DIG\" type=\"prefix\">60</mult>"
        "<mult band=\"total\" mode=\"ALL\" type=\"prefix\">100</mult>"
        "<point band=\"40\" mode=\"ALL\">1200</point><point band=\"20\" mode=\"ALL\">600</point>"
        "<point band=\"total\" mode=\"ALL\">1800</point></breakdown><score>180000</score>"
        "<timestamp>2021-03-06 18:00:00</timestamp></dynamicresults>";
    httplib::Client c = server.Client();
    const auto raw = c.Post(("/post?key=" + ua).c_str(), tr4w, "application/x-www-form-urlencoded");
    EXPECT_EQ(raw->status, 200) << raw->body;

    // not1mm posts text/xml with Basic authentication; a form encoded as forms are
    // (curl --data-urlencode) and a multipart form carry the key as a field.
    const std::string sm = server.KeyFor("SM5XYZ");
    EXPECT_EQ(Send(server, kGood, sm)->status, 200);
    const httplib::Params encoded = {{"key", sm}, {"xml", kGood}};
    EXPECT_EQ(c.Post("/post", encoded)->status, 200);
    const httplib::MultipartFormDataItems parts = {{"key", sm, "", ""}, {"xml", kGood, "score.xml", "text/xml"}};
    EXPECT_EQ(c.Post("/post", parts)->status, 200);
    // A document with a form's type but no field.
    EXPECT_EQ(c.Post(("/post?key=" + sm).c_str(), kGood, "application/x-www-form-urlencoded")->status, 200);
    EXPECT_EQ(server.store().PostCount("SM5XYZ"), 4);

    const auto station = c.Get("/station.json?call=ua9xx");
    EXPECT_NE(station->body.find("\"call\":\"UA9XX\",\"score\":180000,\"qsos\":320,\"points\":1800,\"mults\":100"),
              std::string::npos)
        << station->body;
    const auto page = c.Get("/");
    EXPECT_NE(page->body.find("<h2 id=\"c1\">SINGLE-OP ASSISTED ALL HIGH RTTY ONE N/A</h2>"), std::string::npos);
    EXPECT_NE(page->body.find(">UA9XX</a></td><td>180,000</td><td>320</td><td>100</td>"), std::string::npos);
    EXPECT_NE(page->body.find(">SM5XYZ</a></td><td>400</td><td>15</td><td>10</td>"), std::string::npos);
}

TEST(ContestConfig, ReadsTheContestFileAndNamesWhatIsWrongInOne) {
    std::ifstream in(CONTEST_TOML);
    std::stringstream text;
    text << in.rdbuf();
    const ContestConfig shipped = ReadConfig(text.str(), "contest.toml");
    EXPECT_EQ(FormatUtc(*shipped.start) + " " + FormatUtc(*shipped.end), "2021-03-06 00:00:00 2021-03-07 23:59:00");
    EXPECT_TRUE(shipped.Takes("verda-ww-dx contest") && shipped.Takes("VERDA-WW-DX") && !shipped.Takes("CQ-WW-RTTY"));

    const std::pair<const char*, const char*> wrong[] = {
        {"[contest\n", "f.toml:1: "},
        {"[contest]\nstrat = \"2021-03-06 00:00\"\n", "f.toml: contest.strat: unknown key"},
        {"[contest]\nstart = 2021-03-06\nend = 2021-03-07\n", "f.toml: contest.start: has the wrong kind of value"},
        {"[contest]\nstart = \"2021-03-07 00:00\"\nend = \"2021-03-06 00:00\"\n", "contest.end: lies before the start"},
        {"[contest]\nstart = \"2021-02-30 00:00\"\nend = \"2021-03-06 00:00\"\n", "\"2021-02-30 00:00\" is not"},
        {"[server]\nport = 70000\n", "server.port: must lie from 1 to 65535"},
        {"[servers]\n", "servers: unknown table"},
        {"[contest]\nstart = \"2021-03-06 00:00\"\nend = \"2021-03-07 23:59\"\ndeadline = \"2021-03-07 12:00\"\n",
         "contest.deadline: lies before the end"},
        {"[check]\nmodes = [\"RTTY\"]\n", "check.modes: must be a list of RY, CW, PH and DG"},
    };
    for (const auto& [toml, says] : wrong) {
        SCOPED_TRACE(toml);
        try {
            ReadConfig(toml, "f.toml");
            ADD_FAILURE() << "taken";
        } catch (const ConfigError& e) {
            EXPECT_NE(std::string(e.what()).find(says), std::string::npos) << e.what();
        }
    }
}

}  // namespace
