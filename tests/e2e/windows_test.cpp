// The operator windows through the real DLL: the setup window and the two side
// windows, their settings, the update that the call check asks for (against the
// stand-in host's automation object), what the buttons paint, and the unload.
#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "automation_object.h"
#include "plugin_settings.h"
#include "stand_in_host.h"
#include "window_driver.h"

namespace {

constexpr int kMultiplierBox = 1014, kPrefixBox = 1015, kOnTopBox = 1016, kInfoButton = 1003;
constexpr COLORREF kListBackground = 0x00C6FAFF, kTableBackground = 0x00C6FFFF, kBar = 0x00FFFFC6;
constexpr DWORD kWindowWaitMs = 20000;
const wchar_t kSetupCaption[] = L"Setup VERDA-WW-DX- 2021";


POINT TopLeft(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top};
}

// What TextOutA draws in a fresh context's default font on a plain background:
// the reference a painted cell must match pixel for pixel.
ClientPixels RenderText(const std::string& text, COLORREF background, int width, int height) {
    const WindowDc screen(nullptr);
    const Capture capture(screen.get(), width, height);
    const RECT all{0, 0, width, height};
    SetBkColor(capture.dc(), background);
    ExtTextOutA(capture.dc(), 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    SetBkMode(capture.dc(), TRANSPARENT);
    TextOutA(capture.dc(), 0, 0, text.data(), static_cast<int>(text.size()));
    return capture.Pixels();
}

// True when the painted area at (x, y) shows `text` as RenderText draws it.
bool ShowsText(const ClientPixels& shot, int x, int y, const std::string& text, COLORREF background, int width = 40,
               int height = 15) {
    const ClientPixels ref = RenderText(text, background, width, height);
    if (x + width > shot.width || y + height > shot.height) return false;
    for (int dy = 0; dy < height; ++dy)
        for (int dx = 0; dx < width; ++dx)
            if (shot.At(x + dx, y + dy) != ref.At(dx, dy)) return false;
    return true;
}

bool AllPixels(const ClientPixels& shot, COLORREF colour) {
    for (COLORREF c : shot.pixels)
        if (c != colour) return false;
    return !shot.pixels.empty();
}

QsoCall Qso(const char* call, const char* band, const char* country, const char* prefix, const char* exch, int hour,
            int minute) {
    return {.call = call, .time = HostTime(2021, 3, 6, hour, minute), .freqHz = band[0] == '4' ? 7040000u : 14080000u,
            .exchRcvd = exch, .prefix = prefix, .country = country, .band = band};
}

class WindowsTest : public ::testing::Test {
protected:
    ComThread com;  // the host object lives in this thread's apartment
    ScratchFolder folder;
    HostAutomationObject host;
    std::optional<StatsDll> dll{std::in_place};

    void SetUp() override { ASSERT_TRUE(host.registered()); }
    void TearDown() override { dll.reset(); }

    // The host restarts. The reset that opened the windows left "Start" at "1",
    // which would keep the next one from opening them.
    void Reload() {
        dll.reset();
        SetSetting("Start", "0");
        dll.emplace();
    }

    // A reset that opens the windows; returns the setup window once the host has
    // had its two start commands.
    HWND Reset(const char* country = "SM", const wchar_t* caption = kSetupCaption) {
        const size_t commands = host.Commands().size();
        ResetCall r;
        r.myCountry = country;
        dll->ResetStats0(r);
        HWND setup = WaitForWindow(caption);
        PumpUntil([&] { return host.Commands().size() >= commands + 2; });
        return setup;
    }

    // A loaded, emulated machine takes seconds to bring a window up.
    HWND WaitForWindow(const std::wstring& caption) {
        HWND found = nullptr;
        PumpUntil([&] { return (found = FindOurWindow(caption)) != nullptr; }, kWindowWaitMs);
        return found;
    }

    bool WaitForCaption(HWND window, const std::wstring& caption) {
        return PumpUntil([&] { return WindowTextW(window) == caption; }, kWindowWaitMs);
    }

    // The call check asks for an update; returns once the update has read the
    // host's frequency, its last call to the host, or `until` has come true.
    void Check(const char* call = "DL1ABC") {
        const int frequencies = host.Count("frequency");
        CheckCallArgs c;
        c.call = call;
        dll->CheckCall0(c);
        PumpUntil([&] { return host.Count("frequency") > frequencies; });
        PumpFor(50);  // the captions and repaints after that call
    }

    void Click(HWND setup, int box) {
        SendMessageW(GetDlgItem(setup, box), BM_CLICK, 0, 0);
        PumpFor(50);  // the update the click posts
    }

    // Four Nordic-Baltic stations on 20m in unsorted order, and two QSOs with
    // DL1ABC on 40m (the second a dupe, which still counts as the last QSO).
    void AddLog() {
        dll->AddData0(Qso("OH2BH", "20m", "OH", "OH2", "0017", 12, 0));
        dll->AddData0(Qso("ES1XX", "20m", "ES", "ES1", "0101", 12, 5));
        dll->AddData0(Qso("SM5ABC", "20m", "SM", "SM5", "0042", 12, 10));
        dll->AddData0(Qso("LA9XX", "20m", "LA", "LA9", "0222", 12, 15));
        dll->AddData0(Qso("DL1ABC", "40m", "DL", "DL1", "0042", 12, 20));
        dll->AddData0(Qso("DL1ABC", "40m", "DL", "DL1", "0043", 12, 30));
        dll->Results();  // builds the per-band lists the windows show
    }
};

TEST_F(WindowsTest, SetupWindowStartsTopMostWhereItWasLeftAndIgnoresEnterAndEsc) {
    HWND setup = Reset();
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(IsTopMost(setup));
    EXPECT_EQ(TopLeft(setup).x, 10);
    EXPECT_EQ(TopLeft(setup).y, 400);
    EXPECT_TRUE(SystemMenuItemState(setup, SC_CLOSE) & MF_DISABLED);
    DWORD_PTR icon = 0;
    SendMessageTimeoutW(setup, WM_GETICON, ICON_BIG, 0, SMTO_NORMAL, 1000, &icon);
    EXPECT_NE(icon, 0u);
    EXPECT_EQ(host.Commands(), (std::vector<std::string>{"<MODE:RTTY>", "<BAUDRATE:45.45>"}));
    EXPECT_EQ(host.Count("bad"), 0);

    // Enter, Esc and the Close command must not end the window thread.
    HWND box = GetDlgItem(setup, kMultiplierBox);
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        PostMessageW(box, WM_KEYDOWN, key, 0);
        PostMessageW(box, WM_KEYUP, key, 0);
    }
    PostMessageW(setup, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpFor(200);
    EXPECT_EQ(FindOurWindow(kSetupCaption), setup);

    // Moved, and the mouse passes over it: the position is stored.
    SetWindowPos(setup, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageTimeoutW(setup, WM_SETCURSOR, reinterpret_cast<WPARAM>(setup), HTCAPTION, SMTO_NORMAL, 1000, nullptr);
    EXPECT_EQ(Setting("setup_x"), "300");
    EXPECT_EQ(Setting("setup_y"), "200");

    Reload();
    setup = Reset();
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(TopLeft(setup).x, 300);
    EXPECT_EQ(TopLeft(setup).y, 200);
    EXPECT_EQ(host.Commands().size(), 4u);  // the two commands again, with the new window thread
    ASSERT_TRUE(SaveWindowPng(setup, ArtifactPath("setup_en.png")));
}

TEST_F(WindowsTest, CheckBoxesOpenAndCloseTheSideWindowsAndTheNextThreadReopensThem) {
    HWND setup = Reset();
    ASSERT_NE(setup, nullptr);

    Click(setup, kMultiplierBox);
    HWND mult = WaitForWindow(L" Mult");
    ASSERT_NE(mult, nullptr);
    EXPECT_EQ(TopLeft(mult).x, 10);
    EXPECT_EQ(TopLeft(mult).y, 400);
    EXPECT_FALSE(IsTopMost(mult));
    EXPECT_TRUE(SystemMenuItemState(mult, SC_CLOSE) & MF_DISABLED);
    EXPECT_EQ(Setting("setup_view_pref"), "1");

    Click(setup, kPrefixBox);
    HWND prev = WaitForWindow(L"Working Prefix");
    ASSERT_NE(prev, nullptr);
    EXPECT_EQ(Setting("setup_view_prev_qso"), "1");
    EXPECT_EQ(IsDlgButtonChecked(setup, kPrefixBox), BST_CHECKED);

    // The multiplier window's button follows its client area.
    SetWindowPos(mult, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{}, button{};
    GetClientRect(mult, &client);
    GetWindowRect(GetDlgItem(mult, kInfoButton), &button);
    MapWindowPoints(nullptr, mult, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(button.left, 1);
    EXPECT_EQ(button.top, 1);
    EXPECT_EQ(button.right, client.right - 3);
    EXPECT_EQ(button.bottom, client.bottom - 3);

    // On top: both are closed and reopened by the update, top-most.
    Click(setup, kOnTopBox);
    mult = WaitForWindow(L"Working mult");
    prev = WaitForWindow(L"Working Prefix");
    ASSERT_NE(mult, nullptr);
    ASSERT_NE(prev, nullptr);
    EXPECT_TRUE(IsTopMost(mult));
    EXPECT_TRUE(IsTopMost(prev));
    EXPECT_EQ(Setting("setup_window_on_top"), "1");
    EXPECT_TRUE(IsTopMost(setup));

    Click(setup, kOnTopBox);
    mult = WaitForWindow(L"Working mult");
    ASSERT_NE(mult, nullptr);
    EXPECT_FALSE(IsTopMost(mult));
    EXPECT_EQ(Setting("setup_window_on_top"), "0");
    EXPECT_TRUE(IsTopMost(setup));

    Click(setup, kMultiplierBox);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(mult); }));
    EXPECT_EQ(Setting("setup_view_pref"), "0");
    EXPECT_EQ(IsDlgButtonChecked(setup, kMultiplierBox), BST_UNCHECKED);

    // The next window thread reopens the worked-prefix window only.
    Reload();
    setup = Reset();
    ASSERT_NE(setup, nullptr);
    EXPECT_NE(WaitForWindow(L"Working Prefix"), nullptr);
    PumpFor(100);
    EXPECT_EQ(FindOurWindow(L"Working mult"), nullptr);
    EXPECT_EQ(IsDlgButtonChecked(setup, kPrefixBox), BST_CHECKED);
}

TEST_F(WindowsTest, TheUpdateFollowsTheCallAndTheFrequencyFromTheHost) {
    SetSetting("setup_view_pref", "1");
    SetSetting("setup_view_prev_qso", "1");
    WriteFileBytes("Plugins\\KOVAR.hlp", "DL1ABC 12 0042\r\nOH2XYZ 7 0815\r\n");
    Reset();
    HWND mult = WaitForWindow(L"Working mult");
    HWND prev = WaitForWindow(L"Working Prefix");
    ASSERT_NE(mult, nullptr);
    ASSERT_NE(prev, nullptr);
    AddLog();
    host.frequencyHz = 14070000;

    // One or two characters: the call is still being typed; nothing else happens.
    host.fields[5] = ScriptedField::Text(L"DL");
    const size_t before = host.calls.size();
    CheckCallArgs shortCall;
    dll->CheckCall0(shortCall);
    PumpUntil([&] { return host.Count("get 9") == 2; });
    PumpFor(200);
    EXPECT_EQ(std::vector<std::string>(host.calls.begin() + before, host.calls.end()),
              (std::vector<std::string>{"get 5", "get 9"}));
    EXPECT_EQ(WindowTextW(mult), L"Working mult");

    // A call with field 9 empty: field 6 from the call history, "<SP1>" for the
    // first frequency, and the band's captions.
    host.fields[5] = ScriptedField::Text(L"DL1ABC");
    Check();
    EXPECT_TRUE(WaitForCaption(mult, L"Mult worked 4 on 20m"));
    EXPECT_TRUE(WaitForCaption(prev, L"Worked Prefix 4 on 20m"));
    EXPECT_EQ(host.Count("set 6 0042"), 1);
    EXPECT_EQ(host.Commands().back(), "<SP1>");

    // Field 9 holds something (text or a number): field 6 is left alone; 300 Hz
    // is not a move, 301 Hz is.
    const int sets = host.Count("set"), sp1 = host.Count("run <SP1>");
    host.fields[9] = ScriptedField::Text(L"599");
    host.frequencyHz = 14070300;
    Check();
    host.fields[9] = ScriptedField::Number(7);
    Check();
    EXPECT_EQ(host.Count("set"), sets);
    EXPECT_EQ(host.Count("run <SP1>"), sp1);
    host.frequencyHz = 14070301;
    Check();
    EXPECT_EQ(host.Count("run <SP1>"), sp1 + 1);

    // Unknown calls still fill field 6, with nothing.
    host.fields[9] = ScriptedField::Text(L"");
    host.fields[5] = ScriptedField::Text(L"K1XYZ");
    Check();
    EXPECT_EQ(host.calls.end()[-2], "set 6 ");
    host.fields[5] = ScriptedField::Text(L"OH2XYZ");
    Check();
    EXPECT_EQ(host.Count("set 6 0815"), 1);

    // Off the contest bands (29.1 MHz): the previous-QSO caption stays, the
    // multiplier window keeps its last band.
    host.fields[5] = ScriptedField::Text(L"DL1ABC");
    host.frequencyHz = 29100000;
    Check();
    EXPECT_TRUE(WaitForCaption(prev, L"Previous QSO with DL1ABC "));
    EXPECT_EQ(WindowTextW(mult), L"Mult worked 4 on 20m");

    // A failing call, or a field 9 that is no text, ends that update; the next
    // call check still gets a whole one.
    struct Failure {
        DISPID failing;
        ScriptedField field9;
        const char* lastCall;
    };
    for (const Failure& f : {Failure{8, ScriptedField::Text(L""), "failed 8"},
                             Failure{0, ScriptedField::Unconvertible(), "get 9"}}) {
        host.failNext = f.failing;
        host.fields[9] = f.field9;
        const size_t before = host.calls.size();
        dll->CheckCall0(CheckCallArgs{});
        EXPECT_TRUE(PumpUntil([&] { return host.calls.size() > before && host.calls.back() == f.lastCall; }));
        PumpFor(100);
        EXPECT_EQ(host.calls.back(), f.lastCall);  // nothing after the failure

        host.fields[9] = ScriptedField::Text(L"599");
        host.frequencyHz = 7030000;
        Check();
        EXPECT_TRUE(WaitForCaption(mult, L"Mult worked 1 on 40m")) << f.lastCall;
        host.frequencyHz = 14070000;
        Check();
    }
    EXPECT_EQ(host.Count("bad"), 0);  // every call had the kind, ids and types the host expects
}

TEST_F(WindowsTest, ButtonsPaintTheSortedListsAndThePreviousQsoTable) {
    SetSetting("setup_view_pref", "1");
    SetSetting("setup_view_prev_qso", "1");
    SetSetting("setup_x", "10");
    SetSetting("setup_y", "10");
    SetSetting("dxcc_x", "10");
    SetSetting("dxcc_y", "150");
    SetSetting("prev_x", "400");
    SetSetting("prev_y", "150");
    Reset();
    HWND mult = WaitForWindow(L"Working mult");
    HWND prev = WaitForWindow(L"Working Prefix");
    ASSERT_NE(mult, nullptr);
    ASSERT_NE(prev, nullptr);
    HWND multButton = GetDlgItem(mult, kInfoButton), prevButton = GetDlgItem(prev, kInfoButton);
    AddLog();

    // No band seen yet: both are plain pale yellow.
    EXPECT_TRUE(AllPixels(CaptureClient(multButton), kListBackground));
    EXPECT_TRUE(AllPixels(CaptureClient(prevButton), kListBackground));

    host.frequencyHz = 14070000;
    Check("");
    EXPECT_TRUE(WaitForCaption(prev, L"Worked Prefix 4 on 20m"));
    ClientPixels list = CaptureClient(prevButton);
    EXPECT_EQ(list.At(list.width - 1, list.height - 1), kListBackground);
    int x = 5;
    for (const char* prefix : {"ES1", "LA9", "OH2", "SM5"}) {
        EXPECT_TRUE(ShowsText(list, x, 0, prefix, kListBackground)) << prefix;
        x += 40;
    }
    ClientPixels mults = CaptureClient(multButton);
    x = 5;
    for (const char* exchange : {"0017", "0042", "0101", "0222"}) {
        EXPECT_TRUE(ShowsText(mults, x, 0, exchange, kListBackground)) << exchange;
        x += 40;
    }
    ASSERT_TRUE(SaveWindowPng(mult, ArtifactPath("multiplier_en.png")));
    ASSERT_TRUE(SaveWindowPng(prev, ArtifactPath("prefix_list_en.png")));

    // A call being entered: the table, with its bar on the 20m line and the
    // last QSO with the call on 40m.
    host.fields[5] = ScriptedField::Text(L"DL1ABC");
    Check();
    ClientPixels table = CaptureClient(prevButton);
    const int h = table.height / 7, band = 3;
    EXPECT_EQ(table.At(table.width - 2, 1), kTableBackground);
    EXPECT_EQ(table.At(table.width - 2, (band + 1) * h - 6), kTableBackground);
    EXPECT_EQ(table.At(table.width - 2, (band + 1) * h - 5), kBar);
    EXPECT_EQ(table.At(table.width - 2, (band + 2) * h - 14), kBar);
    EXPECT_EQ(table.At(table.width - 2, (band + 2) * h - 13), kTableBackground);
    const int row40 = 20 + 2 * h, row80 = 20 + h;
    EXPECT_TRUE(ShowsText(table, 100, row40, "RTTY", kTableBackground, 80, 15));
    EXPECT_TRUE(ShowsText(table, 180, row40, "12:30", kTableBackground, 80, 15));
    EXPECT_TRUE(ShowsText(table, 260, row40, "0043", kTableBackground, table.width - 260, 15));
    EXPECT_TRUE(ShowsText(table, 180, row80, "   -", kTableBackground, 80, 15));
    ASSERT_TRUE(SaveWindowPng(prev, ArtifactPath("prefix_table_en.png")));
}

TEST_F(WindowsTest, RussianOwnCountryGivesRussianTexts) {
    host.frequencyHz = 14070000;
    HWND setup = Reset("UA9", L"Настройки VERDA-WW-DX- 2021");
    ASSERT_NE(setup, nullptr);
    auto itemText = [&](int id) { return WindowTextW(GetDlgItem(setup, id)); };
    EXPECT_EQ(itemText(1025), L"Отображать");
    EXPECT_EQ(itemText(kMultiplierBox), L"Мульт");
    EXPECT_EQ(itemText(kOnTopBox), L"Поверх окон");
    EXPECT_EQ(itemText(kPrefixBox), L"Отработанные префиксы");

    Click(setup, kMultiplierBox);
    HWND mult = WaitForWindow(L"Отработанных мультов 0 на 20m");
    ASSERT_NE(mult, nullptr);
    Click(setup, kPrefixBox);
    HWND prev = WaitForWindow(L"Отработанных префиксов 0 на 20m");
    ASSERT_NE(prev, nullptr);

    host.fields[5] = ScriptedField::Text(L"DL1ABC");
    host.frequencyHz = 29100000;
    Check();
    EXPECT_TRUE(WaitForCaption(prev, L"Предыдущие QSO c DL1ABC "));
    PumpFor(50);
    // Off the contest bands the table is painted too, with the bar of the last band.
    const ClientPixels table = CaptureClient(GetDlgItem(prev, 1003));
    EXPECT_EQ(table.At(table.width - 2, 1), kTableBackground);
    EXPECT_EQ(table.At(table.width - 2, 4 * (table.height / 7) - 5), kBar);
    ASSERT_TRUE(SaveWindowPng(setup, ArtifactPath("setup_ru.png")));
    ASSERT_TRUE(SaveWindowPng(mult, ArtifactPath("multiplier_ru.png")));
    ASSERT_TRUE(SaveWindowPng(prev, ArtifactPath("prefix_table_ru.png")));
}

// Run at each scaling by e2e_dpi_<DPI> (dpi_run.sh sets the prefix's LogPixels):
// screenshots of all windows, positions in 96-DPI pixels, and the previous-QSO
// table measured in what it drew.
TEST_F(WindowsTest, AtTheScreensDpiPositionsAreKeptAndTheTableFitsItsWindow) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (const char* wanted = std::getenv("STATS_DPI")) {
        ASSERT_EQ(dpi, std::atoi(wanted));  // else it passes vacuously
    }
    const std::string tag = "dpi-" + std::to_string(dpi) + "-";
    for (const char* key : {"setup_view_pref", "setup_view_prev_qso"}) SetSetting(key, "1");
    for (const char* key : {"setup_x", "setup_y"}) SetSetting(key, "10");
    HWND setup = Reset(), mult = WaitForWindow(L"Working mult"), prev = WaitForWindow(L"Working Prefix");
    ASSERT_TRUE(setup && mult && prev);
    AddLog();

    // (10, 10) is (15, 15) at 144 DPI; moved to (450, 375) there, it is stored as (300, 250).
    const POINT at = TopLeft(setup);
    EXPECT_EQ(at.x, MulDiv(10, dpi, 96));
    EXPECT_EQ(at.y, MulDiv(10, dpi, 96));
    SetWindowPos(setup, nullptr, MulDiv(300, dpi, 96), MulDiv(250, dpi, 96), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageTimeoutW(setup, WM_SETCURSOR, reinterpret_cast<WPARAM>(setup), HTCAPTION, SMTO_NORMAL, 1000, nullptr);
    EXPECT_EQ(Setting("setup_x") + "," + Setting("setup_y"), "300,250");
    SetWindowPos(setup, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    // At 192 DPI the windows do not fit the screen side by side: each side window
    // is shot below the setup window, above the other one.
    RECT below{};
    GetWindowRect(setup, &below);
    auto shoot = [&](HWND window, const char* name) {
        SetWindowPos(window, HWND_TOP, 0, below.bottom + 4, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        PumpFor(100);
        EXPECT_TRUE(SaveWindowPng(window, ArtifactPath(tag + name))) << name;
    };
    host.frequencyHz = 14070000;
    Check("");
    EXPECT_TRUE(WaitForCaption(prev, L"Worked Prefix 4 on 20m"));
    EXPECT_TRUE(SaveWindowPng(setup, ArtifactPath(tag + "setup.png")));
    shoot(mult, "multiplier.png");
    shoot(prev, "prefix-list.png");
    host.fields[5] = ScriptedField::Text(L"DL1ABC");
    Check();
    shoot(prev, "prefix-table.png");

    // Text is whatever is neither background nor bar. Only "Band" and the band
    // names are drawn in the left quarter; the call and "Time" right of it.
    const ClientPixels table = CaptureClient(GetDlgItem(prev, kInfoButton));
    ASSERT_GT(table.width, 0);
    auto text = [&](int x, int y) { return table.At(x, y) != kTableBackground && table.At(x, y) != kBar; };
    auto rowHasText = [&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            if (text(x, y)) return true;
        return false;
    };
    const int quarter = table.width / 4;
    int headingTop = 0, callTop = 0, rightmost = table.width - 1;
    while (headingTop < table.height && !rowHasText(headingTop, 0, quarter)) ++headingTop;
    while (callTop < table.height && !rowHasText(callTop, quarter, table.width)) ++callTop;
    int callBottom = callTop;
    while (callBottom + 1 < table.height && rowHasText(callBottom + 1, quarter, table.width)) ++callBottom;
    auto columnHasText = [&](int x) {
        for (int y = 0; y < table.height; ++y)
            if (text(x, y)) return true;
        return false;
    };
    while (rightmost > 0 && !columnHasText(rightmost)) --rightmost;
    std::printf("dpi %d: table %dx%d, call rows %d-%d, headings from row %d, text up to column %d\n", dpi,
                table.width, table.height, callTop, callBottom, headingTop, rightmost);
    EXPECT_LT(callBottom + 1, headingTop) << "the typed call touches the headings";
    // At 96 DPI the text reaches 84 % of the width.
    EXPECT_GT(rightmost * 100, table.width * 75) << "the table fills only part of its window";
    RECT client{};
    GetClientRect(prev, &client);
    EXPECT_GE(table.width * 100, client.right * 97);
    EXPECT_GE(table.height * 100, client.bottom * 97);
}

TEST_F(WindowsTest, UnloadWithAllWindowsOpenClosesThemPromptly) {
    SetSetting("setup_view_pref", "1");
    SetSetting("setup_view_prev_qso", "1");
    Reset();
    ASSERT_NE(WaitForWindow(L"Working mult"), nullptr);
    ASSERT_NE(WaitForWindow(L"Working Prefix"), nullptr);
    // Two more resets while the windows are open open nothing more.
    dll->ResetStats0(ResetCall{});
    dll->ResetStats0(ResetCall{});
    PumpFor(300);
    EXPECT_EQ(OurVisibleWindows().size(), 3u);

    const DWORD start = GetTickCount();
    dll.reset();
    const DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 1500u);
    EXPECT_TRUE(OurVisibleWindows().empty());
    RecordProperty("unload_ms", static_cast<int>(took));
}

}  // namespace
