// replay.exe as the operator runs it: the bundled sample through the real
// Stats.dll, and bad input files that must stop it before it writes anything.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>

#include "plugin_test.h"
#include "replay_runner.h"
#include "ui/info_pictures.h"
#include "window_driver.h"

namespace {

const std::string kSource = SOURCE_DIR;  // the repository, as Wine sees it

using ReplayTest = PluginTest;

struct WindowSearch {
    DWORD pid;
    const std::wstring& start;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND w, LPARAM p) {
    auto& s = *reinterpret_cast<WindowSearch*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != s.pid || !IsWindowVisible(w) || WindowTextW(w).rfind(s.start, 0) != 0) return TRUE;
    s.found = w;
    return FALSE;
}

// The visible top-level window of that process whose caption starts so.
HWND WindowOf(DWORD pid, const std::wstring& start) {
    WindowSearch s{pid, start, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

template <typename Done>
bool WaitUntil(Done done, DWORD timeoutMs = 20000) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(20))
        if (done()) return true;
    return done();
}

TEST_F(ReplayTest, SampleGivesTheExpectedReportSummaryAndFiles) {
    const ReplayRun run = Replay("\"" + kSource + "\\examples\\sample.adi\" --workdir w --html report.html");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    std::string expected = Lf(ReadFileBytes(kSource + "\\tests\\replay\\sample_output.txt"));
    expected.replace(expected.find("@VERSION@"), 9, STATS_VERSION);
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, "");

    // One line per rejected QSO and dupe below the header.
    const auto bad = Lines(Lf(ReadFileBytes("w\\BadQSO_StatsVERDAWW_07_03_2021.txt")));
    ASSERT_EQ(bad.size(), 17u);
    EXPECT_EQ(bad[0], "VERDA-WW-DX CONTEST UBN file ");
    EXPECT_EQ(bad[3], "QSO:  14111  RTTY  2021-03-06 0819  SM5XYZ  599  1987  KB8O  599     NO RX NUMBER !!!");

    const std::string html = ReadFileBytes("report.html");
    EXPECT_EQ(html.rfind("<html><head><style>", 0), 0u);
    EXPECT_NE(html.find("<td colspan=8><center>8316 * (358 + 186)  = 4523904</center></td>"), std::string::npos);
    EXPECT_FALSE(FileExists("report.html.part"));

    // The operator windows stayed closed: the reset found "Start" = 1 and cleared it.
    char start[8] = {};
    GetPrivateProfileStringA("Settings", "Start", "?", start, sizeof start, ".\\w\\Plugins\\VERDA-WW.ini");
    EXPECT_STREQ(start, "0");
}

// The header dialog filled in from the header file, the "Output" box closed, and a
// file a Cabrillo 3.0 robot accepts: known tags only, QSO lines in their columns.
TEST_F(ReplayTest, SampleGivesAValidCabrilloFile) {
    const ReplayRun run = Replay("\"" + kSource + "\\examples\\sample.adi\" --workdir w --cabrillo --header \"" +
                                 kSource + "\\examples\\header.txt\"");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find("\n  Cabrillo file     w\\SM5XYZ.cbr\n"), std::string::npos) << run.out;

    const std::string bytes = ReadFileBytes("w\\SM5XYZ.cbr");
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);  // CR LF line ends
    const auto lines = Lines(Lf(bytes));
    ASSERT_GT(lines.size(), 2u);
    EXPECT_EQ(lines.front(), "START-OF-LOG: 3.0");
    EXPECT_EQ(lines.back(), "END-OF-LOG:");

    // Cabrillo 3.0 tags, and the two older ones (CATEGORY, ARRL-SECTION) that 3.0 robots still take.
    const std::set<std::string> known = {
        "START-OF-LOG", "END-OF-LOG", "CALLSIGN", "CONTEST", "CATEGORY-ASSISTED", "CATEGORY-BAND",
        "CATEGORY-MODE", "CATEGORY-OPERATOR", "CATEGORY-POWER", "CATEGORY-STATION", "CATEGORY-TIME",
        "CATEGORY-TRANSMITTER", "CATEGORY-OVERLAY", "CERTIFICATE", "CLAIMED-SCORE", "CLUB", "CREATED-BY",
        "EMAIL", "GRID-LOCATOR", "LOCATION", "NAME", "ADDRESS", "ADDRESS-CITY", "ADDRESS-STATE-PROVINCE",
        "ADDRESS-POSTALCODE", "ADDRESS-COUNTRY", "OPERATORS", "OFFTIME", "SOAPBOX", "QSO", "X-QSO",
        "CATEGORY", "ARRL-SECTION"};
    // freq mo date time call rst exch call rst exch, in the columns of the log's QSO template.
    const std::regex qso(R"(QSO: [ 0-9]{4}[0-9] RY \d{4}-\d\d-\d\d \d{4} SM5XYZ {7} 599 1987 {3}[A-Z0-9/ ]{13} 5[789]9 \d{4})");
    int qsos = 0;
    for (const auto& line : lines) {
        const std::string tag = line.substr(0, line.find(':'));
        EXPECT_TRUE(line.find(':') != std::string::npos && known.count(tag)) << line;
        if (tag != "QSO") continue;
        ++qsos;
        EXPECT_TRUE(std::regex_match(line, qso)) << line;
    }
    EXPECT_EQ(qsos, 1464 + 6);  // every stored QSO, dupes included
    for (const char* line : {"CALLSIGN: SM5XYZ", "CATEGORY-POWER: LOW", "NAME: Erik Svensson",
                             "SOAPBOX: Good conditions on 40 m both nights.", "SOAPBOX: 73 and thanks for the QSOs.",
                             "CLAIMED-SCORE: 4523904"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    // The same export again into the same folder: the rewritten file is seen as written.
    const ReplayRun again = Replay("\"" + kSource + "\\examples\\sample.adi\" --workdir w --cabrillo --header \"" +
                                   kSource + "\\examples\\header.txt\"");
    EXPECT_EQ(again.exitCode, 0u) << again.err;
}

// --windows as an operator tries it: the windows open although the last run left
// "Start" at 1, show the busiest band's captions, and a typed call brings up the
// previous-QSO table. OH0EG is in the sample on 40m, 20m and 15m, never on 80m or
// 10m (counted in the log file by hand).
TEST_F(ReplayTest, WindowsShowTheBandAndThePreviousQsosOfATypedCall) {
    CreateDirectoryA("w", nullptr);
    CreateDirectoryA("w\\Plugins", nullptr);
    for (const auto& [key, value] : {std::pair{"Start", "1"}, {"setup_view_pref", "1"}, {"setup_view_prev_qso", "1"},
                                     {"setup_x", "300"}, {"setup_y", "0"}, {"dxcc_x", "0"}, {"dxcc_y", "300"},
                                     {"prev_x", "0"}, {"prev_y", "0"}})
        WritePrivateProfileStringA("Settings", key, value, ".\\w\\Plugins\\VERDA-WW.ini");

    ReplaySession replay("\"" + kSource + "\\examples\\sample.adi\" --workdir w --windows --band 40m");
    // The report's 40m row: 71 multipliers, 58 prefixes.
    HWND prefix = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (prefix = WindowOf(replay.processId(), L"Worked Prefix 58 on 40m")) != nullptr; }))
        << replay.Output();
    EXPECT_NE(WindowOf(replay.processId(), L"Mult worked 71 on 40m"), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return replay.Output().find("call> ") != std::string::npos; }));

    const HWND table = GetDlgItem(prefix, 1003);
    replay.Type("oh0eg");
    ASSERT_TRUE(WaitUntil([&] { return replay.Output().find("OH0EG on 40m: dupe\n") != std::string::npos; }))
        << replay.Output();
    ClientPixels shot;
    ASSERT_TRUE(WaitUntil([&] {
        shot = ScreenPixels(table);
        return shot.width > 2 && shot.At(2, 2) == kTableBackground;
    }));
    // A band's row shows a mode (ink in the first pixels of the mode column) only
    // where the call was worked; the 160m row is the heading.
    const int h = shot.height / 7;
    const auto modeShown = [&](int band) {
        for (int y = 20 + band * h; y < 20 + band * h + 12 && y < shot.height; ++y)
            for (int x = 100; x < 106; ++x)
                if (shot.At(x, y) != kTableBackground && shot.At(x, y) != kCurrentBandBar) return true;
        return false;
    };
    EXPECT_FALSE(modeShown(1));  // 80m
    EXPECT_TRUE(modeShown(2));   // 40m
    EXPECT_TRUE(modeShown(3));   // 20m
    EXPECT_TRUE(modeShown(4));   // 15m
    EXPECT_FALSE(modeShown(5));  // 10m

    replay.Type("");
    const ReplayRun run = replay.Wait();
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find("The operator windows are open, tuned to 40m.\n"), std::string::npos) << run.out;
}

// The small messages: help for /?, one line for a wrong option, the header
// warning, and the HTML report's folder made.
TEST_F(ReplayTest, MessagesForTheNewOperator) {
    const ReplayRun help = Replay("/?");
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_EQ(help.out.rfind("usage: replay LOG [options]\n", 0), 0u);
    const ReplayRun wrong = Replay("--colour");
    EXPECT_EQ(wrong.exitCode, 2u);
    EXPECT_EQ(wrong.err, "replay: unknown option --colour (replay --help lists the options)\n");

    const ReplayRun run = Replay("\"" + kSource + "\\examples\\sample.adi\" --workdir w --cabrillo --html new\\folder\\r.html");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(Lines(run.out).front(), "Warning: the Cabrillo file's NAME, ADDRESS and EMAIL lines will be empty; give "
                                      "them with --header FILE (see header.txt) or fill them in with --interactive");
    EXPECT_TRUE(FileExists("new\\folder\\r.html"));
}

// Both programs of the zip carry the project's version, as Explorer shows it.
TEST_F(ReplayTest, ReplayAndThePlugInCarryTheVersion) {
    std::string replay = StatsDll::DefaultPath();
    replay.replace(replay.size() - 9, 9, "replay.exe");
    for (const std::string& file : {StatsDll::DefaultPath(), replay}) {
        DWORD ignored = 0;
        std::string info(GetFileVersionInfoSizeA(file.c_str(), &ignored), '\0');
        ASSERT_FALSE(info.empty()) << file;
        ASSERT_TRUE(GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
        char* text = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904b0\\FileVersion", reinterpret_cast<void**>(&text), &length));
        EXPECT_STREQ(text, STATS_VERSION) << file;
    }
}

// A log unreadable as a whole stops with status 4, a bad country or header file
// with 2; neither writes anything.
TEST_F(ReplayTest, BadInputStopsAndWritesNothing) {
    const std::string record = "<CALL:4>K5ZD<QSO_DATE:8>20210306<TIME_ON:4>1200<BAND:3>20m<MODE:4>RTTY<EOR>\r\n";
    WriteFileBytes("ok.adi", "<STATION_CALLSIGN:6>SM5XYZ" + record);
    WriteFileBytes("truncated.adi", "<STATION_CALLSIGN:6>SM5XYZ" + record + "<CALL:5>OH2");
    WriteFileBytes("junk.dat", "this is no country file");
    WriteFileBytes("header.txt", "NAME: Erik\nCLAIMED: 5\n");
    const struct {
        std::string args, message;
        DWORD status;
    } cases[] = {
        {"truncated.adi", "truncated.adi: line 2: the field CALL wants 5 characters but the file ends first (truncated?)", 4},
        {"missing.adi", "missing.adi: cannot open the file", 4},
        {"ok.adi --cty junk.dat", "junk.dat: line 1: expected an entity line \"Name: CQ: ITU: Continent: Lat: Long: TZ: Prefix:\"", 2},
        {"ok.adi --cabrillo --header header.txt", "header.txt: line 2: unknown header tag CLAIMED", 2},
    };
    for (const auto& c : cases) {
        const ReplayRun run = Replay(c.args + " --workdir w --html report.html");
        EXPECT_EQ(run.exitCode, c.status) << c.args;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "replay: " + c.message) << c.args;
        EXPECT_EQ(run.out, "") << c.args;
        EXPECT_FALSE(FileExists("w")) << c.args;
        EXPECT_FALSE(FileExists("report.html")) << c.args;
    }
    EXPECT_EQ(Replay("ok.adi --workdir w").exitCode, 0u);  // the good file of the set does run
}

}  // namespace
