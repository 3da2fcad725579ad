// Live score posts from the real DLL to a scoreboard over loopback. live_run.sh
// runs this suite beside the real contest-server and names it in LIVE_BOARD (its
// address) and LIVE_KEY (the station's key); LIVE_CONTROL is a folder in which
// the suite asks the script to stop and start the server, and leaves the report
// that the scoreboard must then show.
#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "automation_object.h"
#include "plugin_test.h"

namespace {

std::string FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

void SetSetting(const char* key, const std::string& value) {
    WritePrivateProfileStringA("Settings", key, value.c_str(), ".\\Plugins\\VERDA-WW.ini");
}

std::string Setting(const char* key) {
    char buf[512] = {};
    GetPrivateProfileStringA("Settings", key, "", buf, sizeof buf, ".\\Plugins\\VERDA-WW.ini");
    return buf;
}

void NameScoreboard(const std::string& url) {
    SetSetting("LiveScoreUrl", url);
    SetSetting("LiveScoreUser", "SM5XYZ");
    SetSetting("LiveScorePassword", FromEnvironment("LIVE_KEY"));
    SetSetting("LiveScoreMinutes", "1");
}

QsoCall Qso(const char* call, const char* band, const char* exch, const char* prefix, int minute) {
    QsoCall q;
    q.call = call;
    q.band = band;
    q.exchRcvd = exch;
    q.prefix = prefix;
    q.country = "DL";
    q.time = HostTime(2021, 3, 6, 12, minute);
    return q;
}

// Asks live_run.sh to stop or start the server, and waits until it has.
bool AskScript(const std::string& what) {
    const std::string control = FromEnvironment("LIVE_CONTROL");
    WriteFileBytes(control + "\\" + what + ".asked", "");
    for (int i = 0; i < 300 && !FileExists(control + "\\" + what + ".done"); ++i) Sleep(100);
    return FileExists(control + "\\" + what + ".done");
}

// Calls the results export until its report's last line has `status`; the report then.
std::optional<std::string> ReportOnceItSays(const StatsDll& dll, const std::string& status, DWORD timeoutMs) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(500)) {
        const std::string report = dll.Results();
        if (report.find("Live score: " + status) != std::string::npos) return report;
    }
    return std::nullopt;
}

// Up, down, up again: the first report is posted at once; while the server is
// gone the plug-in goes on and says so; the next due post is taken once it is back.
TEST(LiveScores, PostedWhileTheServerIsUpGoneOnWhileItIsDownResumedWhenItIsBack) {
    ScratchFolder folder;
    NameScoreboard(FromEnvironment("LIVE_BOARD") + "post");
    StatsDll dll;
    ASSERT_EQ(dll.ResetStats0(ResetCall{}), 1);
    EXPECT_EQ(Setting("LiveScorePassword").rfind("protected:", 0), 0u) << "the key is not kept in clear";
    dll.AddData0(Qso("DL1ABC", "20m", "0042", "DL1", 0));
    dll.AddData0(Qso("OH2BH", "80m", "0017", "OH2", 10));
    dll.AddData0(Qso("K5ZD", "10m", "0233", "K5", 20));
    ASSERT_TRUE(ReportOnceItSays(dll, "sent", 30000)) << dll.Results();

    ASSERT_TRUE(AskScript("stop"));
    dll.AddData0(Qso("SM0XYZ", "20m", "0042", "SM0", 30));
    EXPECT_EQ(dll.AddData0(Qso("ES1XX", "40m", "0101", "ES1", 40)), 1);  // the plug-in goes on
    const auto down = ReportOnceItSays(dll, "not taken", 150000);
    ASSERT_TRUE(down) << dll.Results();
    EXPECT_NE(down->find("(no answer from the scoreboard); last sent "), std::string::npos) << *down;

    ASSERT_TRUE(AskScript("start"));
    const auto back = ReportOnceItSays(dll, "sent", 150000);
    ASSERT_TRUE(back) << dll.Results();
    WriteFileBytes(FromEnvironment("LIVE_CONTROL") + "\\report.txt", *back);
}

// A listener that takes connections and never answers.
class BlackHole {
public:
    BlackHole() {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof at;
        if (bind(socket_, reinterpret_cast<sockaddr*>(&at), size) == 0 && listen(socket_, 4) == 0 &&
            getsockname(socket_, reinterpret_cast<sockaddr*>(&at), &size) == 0)
            port_ = ntohs(at.sin_port);
    }
    ~BlackHole() {
        if (peer_ != INVALID_SOCKET) closesocket(peer_);
        closesocket(socket_);
        WSACleanup();
    }
    int port() const { return port_; }
    // True once a post has come in, within `timeoutMs`.
    bool PostArrives(DWORD timeoutMs) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(socket_, &ready);
        timeval wait{static_cast<long>(timeoutMs / 1000), 0};
        if (select(0, &ready, nullptr, nullptr, &wait) != 1) return false;
        peer_ = accept(socket_, nullptr, nullptr);
        char bytes[64];
        return peer_ != INVALID_SOCKET && recv(peer_, bytes, sizeof bytes, 0) > 0;
    }

private:
    SOCKET socket_ = INVALID_SOCKET;
    SOCKET peer_ = INVALID_SOCKET;
    int port_ = 0;
};

// A post in flight to a server that never answers holds up neither FreeLibrary
// nor a load that follows at once; the poster leaves after its timeout, and the
// process lives on.
TEST(LiveScores, AServerThatNeverAnswersHoldsUpNoUnloadAndNoReload) {
    ScratchFolder folder;
    BlackHole hole;
    ASSERT_NE(hole.port(), 0);
    NameScoreboard("http://127.0.0.1:" + std::to_string(hole.port()) + "/post");
    std::optional<StatsDll> dll;
    dll.emplace();
    ASSERT_EQ(dll->ResetStats0(ResetCall{}), 1);
    dll->AddData0(Qso("DL1ABC", "20m", "0042", "DL1", 0));
    dll->Results();
    ASSERT_TRUE(hole.PostArrives(20000));

    DWORD start = GetTickCount();
    dll.reset();
    const DWORD unloadMs = GetTickCount() - start;
    RecordProperty("unload_ms", static_cast<int>(unloadMs));
    EXPECT_LT(unloadMs, 4000u);

    start = GetTickCount();
    dll.emplace();
    ASSERT_EQ(dll->ResetStats0(ResetCall{}), 1);
    EXPECT_EQ(dll->AddData0(Qso("OH2BH", "80m", "0017", "OH2", 10)), 1);
    EXPECT_NE(dll->Results().find("80m\t 1\t"), std::string::npos);
    dll.reset();
    EXPECT_LT(GetTickCount() - start, 4000u);

    // The posts' receive timeout is 10 s; each poster then lets the engine go.
    start = GetTickCount();
    EXPECT_TRUE(PumpUntil(StatsDllUnmapped, 60000));
    RecordProperty("engine_gone_ms", static_cast<int>(GetTickCount() - start));
}

}  // namespace
