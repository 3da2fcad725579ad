// Logs uploaded through the real HTTP side: what a hostile or broken upload is
// told and that nothing of it is kept, receipts of real logs against counts
// made without our readers, re-uploads, the deadline, the sponsor's pages, and
// a simulated contest checked by the server and by logcheck alike.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "contest_simulator.h"
#include "test_server.h"

namespace fs = std::filesystem;

namespace {

std::string FileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// What a shell tool says, for counts and hashes our code did not make.
std::string Shell(const std::string& command) {
    FILE* out = popen(command.c_str(), "r");
    std::string text;
    char buffer[4096];
    for (std::size_t n; out && (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;) text.append(buffer, n);
    if (out) pclose(out);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

httplib::Result Upload(httplib::Client& c, const std::string& bytes, const char* accept = "*/*") {
    const httplib::MultipartFormDataItems items{{"log", bytes, "SM5XYZ.cbr", "application/octet-stream"}};
    return c.Post("/upload", {{"Accept", accept}}, items);
}

std::size_t KeptFiles(const TestServer& s) {
    std::size_t n = 0;
    for (const auto& e : fs::directory_iterator(s.dir() / "logs")) n += e.is_regular_file() ? 1 : 0;
    return n;
}

const std::string kCorpus = REPLAY_TEST_DIR "/corpus/";
const std::string kZrs = LOGCHECK_TEST_DIR "/zrs_kvp_2012/";

// A Cabrillo log of our contest, as the plug-in would write it.
std::string Cabrillo(const std::string& call, const std::string& qsos) {
    return "START-OF-LOG: 3.0\nCONTEST: VERDA-WW-DX\nCALLSIGN: " + call +
           "\nCATEGORY-OPERATOR: SINGLE-OP\nCLAIMED-SCORE: 12\n" + qsos + "END-OF-LOG:\n";
}
const std::string kTwoQsos =
    "QSO: 14080 RY 2021-03-06 1200 SM5XYZ 599 001 DL1ABC 599 010\n"
    "QSO: 14081 RY 2021-03-06 1201 SM5XYZ 599 002 OH2XX 599 020\n";

TEST(LogUpload, BadUploadsAreToldWhyAndNothingIsKept) {
    ContestConfig closed = SampleContest();
    closed.deadline = ParseUtc("2021-03-14 23:59");
    TestServer server(closed);
    httplib::Client c = server.Client();

    std::string huge = Cabrillo("SM5XYZ", kTwoQsos);
    while (huge.size() <= 5 * 1024 * 1024) huge += "X-COMMENT: padding padding padding padding padding\n";
    const std::pair<std::string, std::string> bad[] = {
        {huge, "413 a log is at most 5 MB"},
        {FileText(kCorpus + "h_binary.adi"), "422 not a text log"},
        {Cabrillo("../../etc/passwd", kTwoQsos), "422 is not a call"},
        {Cabrillo("SM5XYZ/../../x", kTwoQsos), "422 is not a call"},
        {Cabrillo("", kTwoQsos), "422 names no station"},
        {"", "400 no log came"},
        {Cabrillo("SM5XYZ", kTwoQsos), "403 the deadline for logs, 2021-03-14 23:59:00 UTC, has passed"},
    };
    for (const auto& [bytes, says] : bad) {
        SCOPED_TRACE(says);
        const auto r = Upload(c, bytes);
        ASSERT_TRUE(r);
        EXPECT_EQ(std::to_string(r->status), says.substr(0, 3));
        EXPECT_NE(r->body.find(says.substr(4)), std::string::npos) << r->body;
    }
    // A browser's form is answered with a page that says the same.
    const auto page = Upload(c, FileText(kCorpus + "h_binary.adi"), "text/html");
    EXPECT_NE(page->body.find("<p class=\"flag\" id=\"why\">the file is not a text log"), std::string::npos);
    EXPECT_TRUE(server.store().AllLogs().empty());
    EXPECT_EQ(KeptFiles(server), 0u);

    // Let in late, the station's log is taken after the deadline; no other's.
    server.store().SetLatePermit("SM5XYZ");
    EXPECT_EQ(Upload(c, Cabrillo("SM5XYZ", kTwoQsos))->status, 200);
    EXPECT_EQ(Upload(c, Cabrillo("SM5ABC", kTwoQsos))->status, 403);
    EXPECT_EQ(server.store().AllLogs().size(), 1u);

    // A forged or guessed private link finds nothing.
    for (const char* link : {"/log/0123456789abcdef0123456789abcdef", "/log/", "/log/x"}) {
        const auto r = c.Get(link);
        EXPECT_EQ(r->status, 404) << link;
        EXPECT_NE(r->body.find("no log has this link"), std::string::npos) << link << ": " << r->body;
    }
    EXPECT_EQ(c.Get("/log/../scores.sqlite")->status, 404);
}

TEST(LogUpload, RealLogsGetTheirReceiptAtOnceAndEveryVersionIsKept) {
    TestServer server(DefaultConfig());  // no period: K1IR's 2017 QSOs are judged by mode
    httplib::Client c = server.Client();
    // K1IR's CQ WW CW log (jasonhancock/go-cabrillo testdata): every line read,
    // none in our contest's mode. Counted by grep, hashed by sha256sum.
    const std::string k1ir = kCorpus + "k1ir_cqww_cw.log";
    const auto r = Upload(c, FileText(k1ir), "application/json");
    ASSERT_EQ(r->status, 200) << r->body;
    const std::string lines = Shell("grep -c '^QSO:' " + k1ir);
    const std::string sha = Shell("sha256sum " + k1ir + " | cut -c1-64");
    EXPECT_NE(r->body.find("\"call\":\"K1IR\""), std::string::npos) << r->body;
    EXPECT_NE(r->body.find("\"qsos\":" + lines + ",\"lines_not_read\":0,"), std::string::npos) << r->body;
    EXPECT_NE(r->body.find("\"wrong_mode\":" + lines + ","), std::string::npos) << r->body;
    EXPECT_NE(r->body.find("\"sha256\":\"" + sha + "\""), std::string::npos) << r->body;

    // The same log saved as UTF-16 (little-endian, with its mark) reads the same.
    std::string utf16 = "\xFF\xFE";
    for (char ch : FileText(k1ir)) utf16 += std::string{ch, '\0'};
    const auto wide = Upload(c, utf16, "application/json");
    ASSERT_EQ(wide->status, 200) << wide->body;
    EXPECT_NE(wide->body.find("\"qsos\":" + lines + ",\"lines_not_read\":0,"), std::string::npos) << wide->body;
    EXPECT_NE(wide->body.find("\"version\":2,"), std::string::npos) << wide->body;

    // A log of ours with a bad line and a dupe: the receipt names both, in every form.
    const std::string ours = Cabrillo("SM5XYZ", kTwoQsos + "QSO: 14080 RY 2021-03-06 12xx SM5XYZ 599 003 UA9XX 599 030\n" +
                                                    "QSO: 14080 RY 2021-03-06 1210 SM5XYZ 599 004 DL1ABC 599 010\n");
    const auto text = Upload(c, ours);
    ASSERT_EQ(text->status, 200) << text->body;
    EXPECT_NE(text->body.find("QSOs read:      3\nLines not read: 1\n  line 8: "), std::string::npos) << text->body;
    EXPECT_NE(text->body.find("CLAIMED-SCORE:  12\n"), std::string::npos) << text->body;
    EXPECT_NE(text->body.find("dupes: 1,"), std::string::npos) << text->body;
    EXPECT_NE(text->body.find("line 9 dupe: QSO: 14080 RY 2021-03-06 1210"), std::string::npos) << text->body;
    const std::size_t at = text->body.find("/log/");
    ASSERT_NE(at, std::string::npos);
    const std::string link = text->body.substr(at, 37);
    const auto mine = c.Get(link.c_str(), {{"Accept", "text/html"}});
    EXPECT_EQ(mine->status, 200);
    EXPECT_NE(mine->body.find("<h1>Log received from SM5XYZ</h1>"), std::string::npos);
    EXPECT_NE(mine->body.find("once the sponsor has checked"), std::string::npos);

    // Every version is kept byte for byte; the latest of each call is the current one.
    const auto all = server.store().AllLogs();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(FileText(server.dir() / "logs" / all[0].file), FileText(k1ir));
    EXPECT_EQ(FileText(server.dir() / "logs" / all[1].file), utf16);
    const auto current = server.store().CurrentLogs();
    ASSERT_EQ(current.size(), 2u);
    EXPECT_EQ(current[0].call + " " + std::to_string(current[0].version), "K1IR 2");
}

TEST(LogUpload, TheSponsorsPagesNeedTheKeyAndListTheMissingLogs) {
    TestServer server;
    httplib::Client c = server.Client();
    EXPECT_EQ(c.Get("/sponsor")->status, 401);
    c.set_basic_auth("sponsor", "a-guess");
    EXPECT_EQ(c.Get("/sponsor")->status, 401);
    server.store().AddSponsorKey(KeyHash("sponsor-key"));
    c.set_basic_auth("sponsor", "sponsor-key");
    EXPECT_EQ(c.Post("/sponsor/late", {{"Origin", "http://elsewhere.example"}}, "call=SM5XYZ",
                     "application/x-www-form-urlencoded")->status, 403);
    EXPECT_FALSE(server.store().HasLatePermit("SM5XYZ"));

    // The ZRS KVP logs: their README found S59N in many logs, and no log of it.
    for (const auto& e : fs::directory_iterator(kZrs))
        if (e.path().extension() == ".log") ASSERT_EQ(Upload(c, FileText(e.path()))->status, 200) << e.path();
    const auto page = c.Get("/sponsor");
    ASSERT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("32 stations sent logs, 32 uploads in all."), std::string::npos);
    EXPECT_NE(page->body.find("<tr><td class=\"call\">S59N</td>"), std::string::npos);
    EXPECT_EQ(page->body.find("<tr><td class=\"call\">S50B</td>"), std::string::npos) << "S50B sent its log";
}

// The simulator's contest, uploaded over HTTP from four senders at once, then
// checked by "check now": the published results are logcheck's on the same folder.
TEST(LogUpload, ASimulatedContestChecksAsLogcheckChecksItsFolder) {
    const SimContest sim = SimulateContest({});
    ContestConfig config = SampleContest();
    config.names = {"SIMULATED"};
    config.start = ParseUtc(sim.start.substr(0, 13) + ":" + sim.start.substr(13));
    config.end = ParseUtc(sim.end.substr(0, 13) + ":" + sim.end.substr(13));
    TestServer server(config);
    server.store().AddSponsorKey(KeyHash("sponsor-key"));

    // The first from this thread, so that the libraries' statics are made before
    // four threads meet them (ThreadSanitizer sees no lock in the uninstrumented library).
    std::atomic<int> taken{0};
    {
        httplib::Client c = server.Client();
        if (Upload(c, sim.files[0].second)->status == 200) ++taken;
    }
    std::vector<std::thread> senders;
    for (int t = 0; t < 4; ++t)
        senders.emplace_back([&, t] {
            httplib::Client c = server.Client();
            for (std::size_t i = 1 + static_cast<std::size_t>(t); i < sim.files.size(); i += 4)
                if (const auto r = Upload(c, sim.files[i].second); r && r->status == 200) ++taken;
        });
    for (auto& t : senders) t.join();
    ASSERT_EQ(taken, 1000);
    httplib::Client c = server.Client();
    c.set_basic_auth("sponsor", "sponsor-key");
    c.set_read_timeout(600);  // the check runs inside the request: minutes under the sanitizers
    const auto checked = c.Post("/sponsor/check", "", "application/x-www-form-urlencoded");
    ASSERT_TRUE(checked) << httplib::to_string(checked.error());
    ASSERT_EQ(checked->status, 200) << checked->body;

    const fs::path folder = server.dir() / "by-hand" / "SIMULATED";
    fs::create_directories(folder);
    for (const auto& [name, text] : sim.files) std::ofstream(folder / name, std::ios::binary) << text;
    const fs::path out = server.dir() / "by-hand" / "out";
    const std::string run = std::string(LOGCHECK) + " '" + folder.string() + "' --out '" + out.string() +
                            "' --cty " CTY_DAT " --start '" + sim.start + "' --end '" + sim.end + "' > /dev/null";
    ASSERT_EQ(std::system(run.c_str()), 0) << run;
    const auto published = c.Get("/results.html");
    ASSERT_EQ(published->status, 200);
    EXPECT_TRUE(published->body == FileText(out / "results.html")) << "the published results differ from logcheck's";
    EXPECT_EQ(c.Get("/results.csv")->body, FileText(out / "results.csv"));
    EXPECT_EQ(FileText(server.dir() / "checked" / "verdicts.csv"), FileText(out / "verdicts.csv"));

    // A station's private page carries its own report, and only its own.
    const auto r = Upload(c, sim.files[0].second);
    ASSERT_EQ(r->status, 200);
    // That upload is newer than the check: its page waits for the next one.
    const std::string link = r->body.substr(r->body.find("/log/"), 37);
    EXPECT_EQ(c.Get(link.c_str())->body.find("Your checking report"), std::string::npos);
}

}  // namespace
