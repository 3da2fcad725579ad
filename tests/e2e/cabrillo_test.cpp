// The Cabrillo export through the real DLL: the header dialog driven as an
// operator would, its settings, and the log file byte for byte.
#include <windows.h>

#include <atomic>
#include <functional>
#include <future>
#include <map>

#include "plugin_settings.h"
#include "plugin_test.h"
#include "window_driver.h"

namespace {

// Control ids of the header dialog.
enum : int {
    kSoapbox = 1001, kAddress = 1002, kAddressCountry = 1003, kEmail = 1004, kClub = 1005, kOperators = 1006,
    kName = 1007, kClaimed = 1008, kContest = 1009, kCallsign = 1010, kPostalCode = 1011, kStateProvince = 1012,
    kOperatorCategory = 1013, kCity = 1014, kTransmitter = 1015, kStation = 1016, kPower = 1017, kMode = 1018,
    kBand = 1019, kAssisted = 1020, kOverlay = 1021, kSection = 1022,
};


// What the operator found in the dialog.
struct SeenHeader {
    bool found = false;
    std::map<int, std::string> values;  // edits and combos by id
    std::map<int, bool> visible;        // every control with an id, and the labels by caption
    std::map<std::string, bool> labelVisible;
    HWND owner = nullptr;
    bool ownerEnabled = true;
};

class CabrilloTest : public PluginTest {
protected:
    // A Cabrillo reset while `operate` works the header dialog on a second thread;
    // `operate` types and presses OK or CANCEL.
    SeenHeader ResetWithDialog(const char* myCall, const std::function<void(HWND)>& operate) {
        auto driver = std::async(std::launch::async, [&] {
            SeenHeader seen;
            HWND dialog = WaitForDialog("VERDA-WW-DX");
            if (!dialog) return seen;
            seen.found = true;
            for (const auto& c : ReadControls(dialog)) {
                if (c.className == "Static") {
                    seen.labelVisible[c.text] = c.visible;
                    continue;
                }
                seen.visible[c.id] = c.visible;
                if (c.className != "Button") seen.values[c.id] = c.text;
            }
            seen.owner = GetWindow(dialog, GW_OWNER);
            seen.ownerEnabled = seen.owner && IsWindowEnabled(seen.owner);
            operate(dialog);
            return seen;
        });
        ResetCall reset;
        reset.makeCabrillo = 1;
        reset.myCall = myCall;
        EXPECT_EQ(dll.ResetStats0(reset), 1);
        return driver.get();
    }

    static std::function<void(HWND)> Press(int button) {
        return [button](HWND d) { PressButton(d, button); };
    }

    // A results call; returns the text of the "Output" box, or "<no box>" when
    // none came within the time given.
    std::string ResultsWithOutputBox(DWORD timeoutMs = kDialogWaitMs) {
        auto box = AnswerNextMessageBox("Output", timeoutMs);
        dll.Results();
        SeenDialog seen = box.get();
        if (!seen.found) return "<no box>";
        EXPECT_TRUE(seen.icon);
        return seen.text;
    }

    static QsoCall Qso(const char* call, unsigned freqHz, int hour, int minute, const char* exch = "0042") {
        QsoCall q;
        q.call = call;
        q.freqHz = freqHz;
        q.time = HostTime(2021, 3, 6, hour, minute);
        q.exchRcvd = exch;
        return q;
    }
};

TEST_F(CabrilloTest, FirstDialogShowsTheDefaultsAndOkStoresEveryKeyInOrder) {
    HWND host = CreateWindowA("STATIC", "Tevo", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                              nullptr, nullptr);
    SetActiveWindow(host);
    std::map<int, std::vector<std::string>> lists;
    bool screenshot = false;
    const SeenHeader seen = ResetWithDialog("SM5XYZ", [&](HWND d) {
        for (int id : {kOperatorCategory, kAssisted, kBand, kMode, kPower, kTransmitter, kOverlay, kStation, kSection})
            lists[id] = ComboEntries(d, id);
        screenshot = SaveWindowPng(d, ArtifactPath("cabrillo-dialog.png"));
        PressButton(d, IDOK);
    });
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(screenshot);
    EXPECT_EQ(seen.owner, host);
    EXPECT_FALSE(seen.ownerEnabled);  // modal to the host's window
    EXPECT_TRUE(IsWindowEnabled(host));
    DestroyWindow(host);

    EXPECT_EQ(seen.values, (std::map<int, std::string>{
                               {kContest, "VERDA-WW-DX "}, {kCallsign, "SM5XYZ"}, {kClaimed, ""},
                               {kOperatorCategory, "SINGLE-OP"}, {kAssisted, "NON-ASSISTED"}, {kBand, "ALL"},
                               {kMode, "RTTY"}, {kPower, "HIGH"}, {kTransmitter, "ONE"}, {kOverlay, ""},
                               {kName, ""}, {kAddress, ""}, {kCity, ""}, {kPostalCode, ""}, {kAddressCountry, ""},
                               {kOperators, "SM5XYZ"}, {kClub, ""}, {kSoapbox, ""}, {kEmail, ""},
                               {kStateProvince, ""}, {kStation, "FIXED"}, {kSection, "DX"}}));
    for (const auto& [id, visible] : seen.visible)
        EXPECT_EQ(visible, id != kStateProvince && id != kStation && id != kSection) << id;
    for (const char* hidden : {"ADDRESS-STATE-PROVINCE", "CATEGORY-STATION", "ARRL-SECTION"})
        EXPECT_FALSE(seen.labelVisible.at(hidden)) << hidden;
    EXPECT_TRUE(seen.labelVisible.at("CATEGORY-OPERATOR"));

    EXPECT_EQ(lists[kOperatorCategory], (std::vector<std::string>{"SINGLE-OP", "MULTI-OP", "CHECKLOG"}));
    EXPECT_EQ(lists[kBand], (std::vector<std::string>{"ALL", "80M", "40M", "20M", "15M", "10M"}));
    EXPECT_EQ(lists[kOverlay], (std::vector<std::string>{"CLASSIC", "DISTRIBUTED ", "PORTABLE", "ROOKIE", "UNLIMITED",
                                                         "WIRES-ONLY", "YOTA TEAM"}));
    EXPECT_EQ(lists[kTransmitter], (std::vector<std::string>{"ONE", "TWO", "UNLIMITED"}));
    ASSERT_EQ(lists[kSection].size(), 64u);
    EXPECT_EQ(lists[kSection][0], "DX");
    EXPECT_EQ(lists[kSection][63], "PEI");

    // The keys in the order they are written, then the reset's own "Start".
    std::vector<std::string> keys;
    const std::string ini = ReadFileBytes(kPluginIni);
    for (std::size_t at = 0, end; (end = ini.find("\r\n", at)) != std::string::npos; at = end + 2) {
        const std::string line = ini.substr(at, end - at);
        if (line.find('=') != std::string::npos) keys.push_back(line.substr(0, line.find('=')));
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"Operators", "Name", "Address", "Address-City", "Address-State",
                                              "Address-PostalCode", "Address-Country", "Contest", "Email", "Club",
                                              "Location", "SoapBox", "Overlay", "Start"}));
    EXPECT_EQ(Setting("Operators"), "SM5XYZ");
    EXPECT_EQ(Setting("Contest"), "VERDA-WW-DX");  // the profile functions drop the trailing blank
    EXPECT_EQ(Setting("Location"), "DX");
}

TEST_F(CabrilloTest, StoredValuesComeBackAndSoapboxAndAddressBecomeSeveralLines) {
    const std::string longClub(150, 'C');
    SetSetting("Operators", "");
    SetSetting("Club", longClub);
    SetSetting("SoapBox", "NICE CONTEST<CR><LF>73");
    SetSetting("Location", "W1");
    SetSetting("Overlay", "rook");

    const SeenHeader first = ResetWithDialog("SM5XYZ", [](HWND d) {
        TypeInto(d, kSoapbox, "NICE CONTEST\r\n73\r\nGL");
        TypeInto(d, kAddress, "Main St 1<CR>Town");
        PressButton(d, IDOK);
    });
    ASSERT_TRUE(first.found);
    EXPECT_EQ(first.values.at(kOperators), "");  // an empty key is no missing key
    EXPECT_EQ(first.values.at(kClub), longClub);
    EXPECT_EQ(first.values.at(kSoapbox), "NICE CONTEST\r\n73");
    EXPECT_EQ(first.values.at(kSection), "DX");
    EXPECT_EQ(first.values.at(kOverlay), "ROOKIE");  // the first entry that begins with the stored text

    EXPECT_EQ(Setting("SoapBox"), "NICE CONTEST<CR><LF>73<CR><LF>GL");
    EXPECT_EQ(Setting("Address"), "Main St 1<CR>Town");
    EXPECT_EQ(Setting("Location"), "DX");
    EXPECT_EQ(Setting("Overlay"), "ROOKIE");

    dll.AddData0(Qso("DL1ABC", 14085000, 12, 0));
    EXPECT_EQ(ResultsWithOutputBox(), "File produced: SM5XYZ.cbr");
    const std::string file = ReadFileBytes("SM5XYZ.cbr");
    EXPECT_NE(file.find("\r\nOPERATORS: \r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nCLUB: " + longClub + "\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nADDRESS: Main St 1\r\nADDRESS: Town\r\nADDRESS-CITY: \r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nSOAPBOX: NICE CONTEST\r\nSOAPBOX: 73\r\nSOAPBOX: GL\r\nQSO: "), std::string::npos);

    const SeenHeader second = ResetWithDialog("SM5XYZ", Press(IDCANCEL));
    EXPECT_EQ(second.values.at(kSoapbox), "NICE CONTEST\r\n73\r\nGL");
    EXPECT_EQ(second.values.at(kAddress), "Main St 1<CR>Town");
}

TEST_F(CabrilloTest, AcceptedHeaderAndWholeLogWrittenByteForByteAtEveryResultsCall) {
    WriteFileBytes("Tevo2.ini", "[Main]\r\nTevo=2.19\r\n");
    const SeenHeader seen = ResetWithDialog("SM5XYZ", [](HWND d) {
        TypeInto(d, kCallsign, "SM5XYZ/P");
        TypeInto(d, kClaimed, "999999");
        TypeInto(d, kOperatorCategory, "MULTI-OP");
        TypeInto(d, kPower, "LOW");
        TypeInto(d, kTransmitter, "TWO");
        TypeInto(d, kOverlay, "yota");
        TypeInto(d, kName, "Sven");
        PressButton(d, IDOK);
    });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(Setting("Claimed"), "<missing>");

    QsoCall nullDate = Qso("OH2BH", 14090000, 0, 0, "0017");
    nullDate.nullTime = true;
    QsoCall dupe = Qso("DL1ABC", 14085000, 12, 30);
    dll.AddData0(Qso("DL1ABC", 14085000, 12, 5));
    dll.AddData0(Qso("K5ZD", 7040000, 12, 10, "0233"));
    dll.AddData0(nullDate);
    dll.AddData0(dupe);
    QsoCall tenMeters = Qso("VERYLONGCALL/QRP", 144300000, 12, 50, "123456789");
    tenMeters.band = "10m";
    dll.AddData0(tenMeters);

    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(ResultsWithOutputBox(), "File produced: SM5XYZ.cbr") << pass;
        EXPECT_EQ(ReadFileBytes("SM5XYZ.cbr"),
                  "START-OF-LOG: 3.0\r\n"
                  "ARRL-SECTION: DX\r\n"
                  "CALLSIGN: SM5XYZ/P\r\n"
                  "CATEGORY: MULTI-OP\r\n"
                  "CATEGORY-ASSISTED: NON-ASSISTED\r\n"
                  "CATEGORY-BAND: ALL\r\n"
                  "CATEGORY-MODE: RTTY\r\n"
                  "CATEGORY-POWER: LOW\r\n"
                  "CATEGORY-TRANSMITTER: TWO\r\n"
                  "CATEGORY-OVERLAY: yota\r\n"
                  "CLAIMED-SCORE: " + Setting("Claimed") + "\r\n"
                  "CLUB: \r\n"
                  "CONTEST: VERDA-WW-DX CONTEST\r\n"
                  "OPERATORS: SM5XYZ\r\n"
                  "NAME: Sven\r\n"
                  "ADDRESS: \r\n"
                  "ADDRESS-CITY: \r\n"
                  "ADDRESS-POSTALCODE: \r\n"
                  "ADDRESS-COUNTRY: \r\n"
                  "CREATED-BY: Tevo 2.19\r\n"
                  "EMAIL: \r\n"
                  "SOAPBOX: \r\n"
                  "QSO: 14085 RY 2021-03-06 1205 SM5XYZ/P      599 0001   DL1ABC        579 0042\r\n"
                  "QSO:  7040 RY 2021-03-06 1210 SM5XYZ/P      599 0001   K5ZD          579 0233\r\n"
                  "QSO: 14090 RY  SM5XYZ/P      599 0001   OH2BH         579 0017\r\n"
                  "QSO: 14085 RY 2021-03-06 1230 SM5XYZ/P      599 0001   DL1ABC        579 0042\r\n"
                  "QSO: 144300 RY 2021-03-06 1250 SM5XYZ/P      599 0001   VERYLONGCALL/QRP 579 123456789\r\n"
                  "END-OF-LOG:\r\n")
            << pass;
    }
    EXPECT_NE(Setting("Claimed"), "999999");
    EXPECT_FALSE(FileExists("SM5XYZ_P.cbr"));  // the name follows the reset's callsign

    // The next header starts the categories afresh; the overlay comes back, and the
    // claimed score shown is the one the results stored.
    const std::string ini = ReadFileBytes(kPluginIni);
    const SeenHeader next = ResetWithDialog("SM5XYZ", Press(IDCANCEL));
    EXPECT_EQ(next.values.at(kOperatorCategory), "SINGLE-OP");
    EXPECT_EQ(next.values.at(kPower), "HIGH");
    EXPECT_EQ(next.values.at(kTransmitter), "ONE");
    EXPECT_EQ(next.values.at(kCallsign), "SM5XYZ");
    EXPECT_EQ(next.values.at(kOverlay), "YOTA TEAM");
    EXPECT_EQ(next.values.at(kClaimed), Setting("Claimed"));
    EXPECT_EQ(next.values.at(kName), "Sven");

    // Cancelled: the ini file is untouched and results calls export nothing.
    EXPECT_EQ(ReadFileBytes(kPluginIni), ini);
    DeleteFileA("SM5XYZ.cbr");
    dll.AddData0(Qso("DL1ABC", 14085000, 12, 5));
    EXPECT_EQ(ResultsWithOutputBox(2000), "<no box>");
    EXPECT_FALSE(FileExists("SM5XYZ.cbr"));
}

TEST_F(CabrilloTest, EmptyCallsignAndEmptyLogGiveZakoWithHeaderAndEnd) {
    ASSERT_TRUE(ResetWithDialog("", Press(IDOK)).found);
    EXPECT_EQ(ResultsWithOutputBox(), "File produced: ZAKO.cbr");
    EXPECT_EQ(ReadFileBytes("ZAKO.cbr"),
              "START-OF-LOG: 3.0\r\nARRL-SECTION: DX\r\nCALLSIGN: \r\nCATEGORY: SINGLE-OP\r\n"
              "CATEGORY-ASSISTED: NON-ASSISTED\r\nCATEGORY-BAND: ALL\r\nCATEGORY-MODE: RTTY\r\nCATEGORY-POWER: HIGH\r\n"
              "CATEGORY-OVERLAY: \r\nCLAIMED-SCORE: 0\r\nCLUB: \r\nCONTEST: VERDA-WW-DX CONTEST\r\nOPERATORS: \r\n"
              "NAME: \r\nADDRESS: \r\nADDRESS-CITY: \r\nADDRESS-POSTALCODE: \r\nADDRESS-COUNTRY: \r\n"
              "CREATED-BY: Tevo Tevo\r\nEMAIL: \r\nSOAPBOX: \r\nEND-OF-LOG:\r\n");
}

TEST_F(CabrilloTest, AFileThatCannotBeWrittenIsReportedSo) {
    ASSERT_TRUE(ResetWithDialog("SM5XYZ", Press(IDOK)).found);
    CreateDirectoryA("SM5XYZ.cbr", nullptr);  // the name is taken by a folder
    EXPECT_EQ(ResultsWithOutputBox(), "File not written: SM5XYZ.cbr");
    RemoveDirectoryA("SM5XYZ.cbr");

    // An earlier log that cannot be replaced stays whole.
    WriteFileBytes("SM5XYZ.cbr", "START-OF-LOG: 3.0\r\nthe earlier log\r\n");
    HANDLE held = CreateFileA("SM5XYZ.cbr", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ResultsWithOutputBox(), "File not written: SM5XYZ.cbr");
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes("SM5XYZ.cbr"), "START-OF-LOG: 3.0\r\nthe earlier log\r\n");
    EXPECT_FALSE(FileExists("SM5XYZ.cbr.new"));

    // A device name or a ':' would lose the log without an error on Windows.
    for (const char* call : {"NUL", "SM5XYZ:P"}) {
        ASSERT_TRUE(ResetWithDialog(call, Press(IDOK)).found) << call;
        EXPECT_EQ(ResultsWithOutputBox(), "File not written: " + std::string(call) + ".cbr");
    }
}

// The host's timers keep running while the header dialog of a new pass is open.
const StatsDll* g_timerDll = nullptr;
std::atomic<int> g_timerCalls{0};

void CALLBACK AddThirtyMetreQso(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    QsoCall q;
    q.call = "OH2XYZ";
    q.band = "30m";
    q.freqHz = 10140000;
    EXPECT_EQ(g_timerDll->AddData0(q), 0);
    ++g_timerCalls;
}

TEST_F(CabrilloTest, AQsoAddedInsideTheHeaderDialogGoesToTheNewPassFile) {
    dll.ResetStats0(ResetCall{});
    QsoCall wrongMode;
    wrongMode.mode = "CW";
    EXPECT_EQ(dll.AddData0(wrongMode), 0);
    const std::string previous = BadQso();
    ASSERT_NE(previous.find("WRONG MODE"), std::string::npos);

    g_timerDll = &dll;
    g_timerCalls = 0;
    ASSERT_NE(SetTimer(nullptr, 0, 50, AddThirtyMetreQso), 0u);
    auto driver = std::async(std::launch::async, [] {
        HWND dialog = WaitForDialog("VERDA-WW-DX");
        if (!dialog) return false;
        for (int i = 0; i < 200 && g_timerCalls == 0; ++i) Sleep(10);
        PressButton(dialog, IDOK);
        return true;
    });
    ResetCall cabrillo;
    cabrillo.makeCabrillo = 1;
    cabrillo.end = HostTime(2022, 3, 6, 23, 59);
    EXPECT_EQ(dll.ResetStats0(cabrillo), 1);
    ASSERT_TRUE(driver.get());
    ASSERT_EQ(g_timerCalls, 1);

    EXPECT_EQ(BadQso(), previous);
    const std::string fresh = ReadFileBytes("BadQSO_StatsVERDAWW_06_03_2022.txt");
    EXPECT_EQ(fresh.rfind("VERDA-WW-DX CONTEST UBN file \r\n", 0), 0u);
    EXPECT_NE(fresh.find("OH2XYZ"), std::string::npos);
    EXPECT_NE(fresh.find("WRONG BAND"), std::string::npos);
}

// A host's timer may ask for the results again while the "Output" box of the
// first request is still open: the second request writes the log again and
// opens a box of its own, and both boxes close cleanly, the inner one first.
const StatsDll* g_resultsDll = nullptr;
std::atomic<int> g_innerResults{0};

void CALLBACK ResultsAgain(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    ++g_innerResults;
    g_resultsDll->Results();
    ++g_innerResults;
}

HWND OtherOutputBox(HWND first) {
    for (int i = 0; i < 1000; ++i, Sleep(10))
        for (HWND w : OurVisibleWindows())
            if (w != first && WindowTextW(w) == L"Output") return w;
    return nullptr;
}

TEST_F(CabrilloTest, ResultsAskedAgainFromInsideTheOutputBoxOpenABoxOfTheirOwn) {
    ASSERT_TRUE(ResetWithDialog("SM5XYZ", Press(IDOK)).found);
    dll.AddData0(Qso("DL1ABC", 14085000, 12, 0));
    g_resultsDll = &dll;
    g_innerResults = 0;
    ASSERT_NE(SetTimer(nullptr, 0, 50, ResultsAgain), 0u);
    auto driver = std::async(std::launch::async, [] {
        HWND outer = WaitForDialog("Output");
        if (!outer) return "no outer box";
        HWND inner = OtherOutputBox(outer);
        if (!inner) return "no inner box";
        PressButton(inner, IDOK);
        for (int i = 0; i < 1000 && g_innerResults < 2; ++i) Sleep(10);
        if (g_innerResults < 2) return "the inner request did not return";
        PressButton(outer, IDOK);
        return "";
    });
    dll.Results();
    EXPECT_STREQ(driver.get(), "");
    EXPECT_EQ(g_innerResults, 2);
    EXPECT_EQ(ReadFileBytes("SM5XYZ.cbr").rfind("START-OF-LOG: 3.0\r\n", 0), 0u);
    EXPECT_EQ(FindOurWindow(L"Output"), nullptr);
}

}  // namespace
