// Faults around the real DLL: files and folders that are missing, read-only,
// replaced or gone between calls, hostile host files, an automation object that
// fails or stalls, and calls out of order. Every export must answer with its
// defined value, promptly, and leave what is already on disk intact.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "automation_object.h"
#include "plugin_settings.h"
#include "plugin_test.h"
#include "window_driver.h"

namespace {


// A file that no one may write while this lives: held open by another program
// that shares it for reading only. (Wine run as root ignores the read-only
// attribute; a sharing lock refuses writes the same way for everyone.)
class WriteLock {
public:
    explicit WriteLock(const char* path)
        : h_(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~WriteLock() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    bool held() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

QsoCall Dupe() {
    QsoCall q;
    q.time = HostTime(2021, 3, 6, 12, 30);
    return q;
}

// A host that takes the windows out of the picture: "Start" = 1 keeps them closed.
class FaultTest : public PluginTest {
protected:
    void ResetWithoutWindows(ResetCall r = {}) {
        WritePrivateProfileStringA("Settings", "Start", "1", ".\\Plugins\\VERDA-WW.ini");
        ASSERT_EQ(dll.ResetStats0(r), 1);
    }
};

TEST_F(FaultTest, EveryExportBeforeAnyResetAnswersItsDefinedValue) {
    int out = 0;
    const char* text = dll.GetResult0(&out);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(out, -1);
    CheckCallArgs c;
    const int verdict = dll.CheckCall0(c);
    EXPECT_TRUE(verdict == 1 || verdict == 2 || verdict == 4) << verdict;  // empty log: never a dupe
    EXPECT_EQ(dll.AddData0(QsoCall{}), 1);
    EXPECT_EQ(dll.AddData0(Dupe()), 1);  // a dupe with nowhere to write its line
    EXPECT_EQ(dll.RemoveData0(QsoCall{}), 1);
    EXPECT_EQ(dll.IsValidExchg0(nullptr), 0);
    EXPECT_NE(dll.GetResult0(&out), nullptr);

    // The first reset then starts an ordinary pass.
    ResetWithoutWindows();
    EXPECT_EQ(dll.AddData0(QsoCall{}), 1);
    EXPECT_EQ(dll.AddData0(Dupe()), 1);
    EXPECT_NE(BadQso().find("DUPE"), std::string::npos);
}

TEST_F(FaultTest, BadQsoFileDeletedReplacedByAFolderOrReadOnlyBetweenCalls) {
    ResetWithoutWindows();
    ASSERT_EQ(dll.AddData0(QsoCall{}), 1);

    // Deleted: the next line starts a new file; the log is untouched.
    ASSERT_TRUE(DeleteFileA(kBadQsoFile));
    EXPECT_EQ(dll.AddData0(Dupe()), 1);
    EXPECT_NE(BadQso().find("DUPE !!!"), std::string::npos);

    // Read-only: lines cannot be added or taken out, and none is lost. The host's
    // next call of another kind lets go of the file that AddData0 keeps open, and
    // only then can another program take it to itself.
    const std::string kept = BadQso();
    dll.CheckCall0(CheckCallArgs{});
    {
        WriteLock lock(kBadQsoFile);
        ASSERT_TRUE(lock.held());
        EXPECT_EQ(dll.AddData0(Dupe()), 1);
        EXPECT_EQ(dll.RemoveData0(Dupe()), 1);
        EXPECT_EQ(BadQso(), kept);
    }

    // A folder in its place: left alone by every call, and the results still come.
    ASSERT_TRUE(DeleteFileA(kBadQsoFile));
    ASSERT_TRUE(CreateDirectoryA(kBadQsoFile, nullptr));
    WriteFileBytes(std::string(kBadQsoFile) + "\\keep.txt", "operator's file");
    EXPECT_EQ(dll.AddData0(Dupe()), 1);
    EXPECT_EQ(dll.RemoveData0(QsoCall{}), 1);
    EXPECT_NE(dll.Results().find("Score"), std::string::npos);
    ResetWithoutWindows();
    EXPECT_EQ(ReadFileBytes(std::string(kBadQsoFile) + "\\keep.txt"), "operator's file");
}

int LineCount(const std::string& bytes) { return static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n')); }

QsoCall WrongMode(const char* call) {
    QsoCall q;
    q.call = call;
    q.mode = "FT8";
    return q;
}

// Between AddData0 calls the file stays open, yet the operator may read it and
// rename it away: the next line then starts a fresh file under the pass's name,
// just as a fresh open would, and the renamed file keeps its lines. A reset, a
// removal, any other call and the unload let go of it.
TEST(KeptBadQsoFile, RenamedAwayMidPassThenLetGoOfByEveryOtherCall) {
    ScratchFolder folder;
    std::optional<StatsDll> dll{std::in_place};
    const char* file = PluginTest::kBadQsoFile;
    auto resetWithoutWindows = [&] {
        WritePrivateProfileStringA("Settings", "Start", "1", ".\\Plugins\\VERDA-WW.ini");
        return dll->ResetStats0(ResetCall{});
    };
    ASSERT_EQ(resetWithoutWindows(), 1);
    ASSERT_EQ(dll->AddData0(WrongMode("DL1AAA")), 0);
    ASSERT_EQ(dll->AddData0(WrongMode("DL1BBB")), 0);
    ASSERT_TRUE(MoveFileA(file, "renamed.txt"));
    ASSERT_EQ(dll->AddData0(WrongMode("DL1CCC")), 0);

    const std::string renamed = ReadFileBytes("renamed.txt"), fresh = ReadFileBytes(file);
    EXPECT_EQ(renamed.rfind("VERDA-WW-DX CONTEST UBN file \r\n", 0), 0u);
    EXPECT_EQ(LineCount(renamed), 3);
    EXPECT_NE(renamed.find("DL1BBB"), std::string::npos);
    EXPECT_EQ(LineCount(fresh), 1);
    EXPECT_NE(fresh.find("DL1CCC  579  0042   WRONG MODE !!!\r\n"), std::string::npos);

    // Another program writes the file between two lines: the next line, from a host
    // thread other than the one that opened the file, follows its bytes.
    WriteFileBytes(file, fresh + "operator's note\r\n");
    RunOnWorker([&] { EXPECT_EQ(dll->AddData0(WrongMode("DL1EEE")), 0); });
    const std::string edited = ReadFileBytes(file);
    EXPECT_EQ(edited.rfind(fresh + "operator's note\r\n", 0), 0u);
    EXPECT_NE(edited.find("DL1EEE", fresh.size()), std::string::npos);

    // After each of these, a program that wants the file to itself gets it.
    const std::function<void()> letGo[] = {
        [&] { dll->CheckCall0(CheckCallArgs{}); },
        [&] { dll->Results(); },
        [&] { dll->RemoveData0(WrongMode("DL1XXX")); },
        [&] { resetWithoutWindows(); },
        [&] { dll.reset(); },
    };
    for (const auto& call : letGo) {
        ASSERT_EQ(dll->AddData0(WrongMode("DL1DDD")), 0);
        call();
        HANDLE alone = CreateFileA(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(alone, INVALID_HANDLE_VALUE);
        CloseHandle(alone);
    }
}

TEST_F(FaultTest, MissingOrReadOnlyPluginsFolderAndIniFile) {
    // No Plugins folder: the reset and the results still answer.
    ASSERT_TRUE(RemoveDirectoryA("Plugins"));
    ResetCall r;
    EXPECT_EQ(dll.ResetStats0(r), 1);
    EXPECT_EQ(dll.AddData0(QsoCall{}), 1);
    EXPECT_NE(dll.Results().find("Score"), std::string::npos);

    // A read-only ini file keeps its bytes, whatever the plug-in would store.
    ASSERT_TRUE(CreateDirectoryA("Plugins", nullptr));
    const std::string ini = "[Settings]\r\nStart=1\r\nName=Operator\r\nClaimed=7\r\n";
    WriteFileBytes(kPluginIni, ini);
    WriteLock lock(kPluginIni);
    ASSERT_TRUE(lock.held());
    EXPECT_EQ(dll.ResetStats0(r), 1);
    EXPECT_NE(dll.Results().find("Score"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(kPluginIni), ini);
}

// Junk in these files is read past natively (FileFaults in the unit tests); what
// needs Windows is a history that cannot be opened at all.
TEST_F(FaultTest, CallHistoryFolderOrLockedReadsAsNone) {
    // A call history that cannot be read (a folder by that name, or held open
    // without sharing by its plug-in) reads as none.
    ResetWithoutWindows();
    DeleteFileA("Plugins\\KOVAR.hlp");
    ASSERT_TRUE(CreateDirectoryA("Plugins\\KOVAR.hlp", nullptr));
    ResetWithoutWindows();
    RemoveDirectoryA("Plugins\\KOVAR.hlp");
    WriteFileBytes("Plugins\\KOVAR.hlp", "DL1ABC 0042\r\n");
    HANDLE locked = CreateFileA("Plugins\\KOVAR.hlp", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ResetWithoutWindows();
    CloseHandle(locked);
    EXPECT_EQ(dll.AddData0(QsoCall{}), 1);
    EXPECT_EQ(ReadFileBytes("Plugins\\KOVAR.hlp"), "DL1ABC 0042\r\n");
}

TEST_F(FaultTest, WorkingDirectoryGoneMidPassAndBack) {
    // The host works in a folder below the scratch folder; Windows will not move
    // the current folder itself, but nothing stops its parent from going.
    ASSERT_TRUE(CreateDirectoryA("log", nullptr));
    ASSERT_TRUE(CreateDirectoryA("log\\Plugins", nullptr));
    ASSERT_TRUE(SetCurrentDirectoryA("log"));
    ResetWithoutWindows();
    ASSERT_EQ(dll.AddData0(QsoCall{}), 1);
    ASSERT_EQ(dll.AddData0(Dupe()), 1);
    const std::string kept = BadQso();

    const std::string away = folder.path() + "-away";
    ASSERT_TRUE(MoveFileA(folder.path().c_str(), away.c_str()));
    EXPECT_FALSE(FileExists(kBadQsoFile));
    EXPECT_EQ(dll.AddData0(Dupe()), 1);
    EXPECT_EQ(dll.RemoveData0(Dupe()), 1);
    EXPECT_NE(dll.Results().find("Score"), std::string::npos);
    EXPECT_EQ(dll.ResetStats0(ResetCall{}), 1);
    PumpFor(200);

    ASSERT_TRUE(MoveFileA(away.c_str(), folder.path().c_str()));
    EXPECT_EQ(BadQso(), kept);
}

// The host's automation object, failing or stalling, while the window thread
// updates; the last case unloads the plug-in in the middle of an update.
class HostFaultTest : public ::testing::Test {
protected:
    ComThread com;
    ScratchFolder folder;
    HostAutomationObject host;
    std::optional<StatsDll> dll{std::in_place};
    unsigned frequency = 14070000;

    void SetUp() override {
        ASSERT_TRUE(host.registered());
        WriteFileBytes("Plugins\\KOVAR.hlp", "DL1ABC 0042\r\n");
        host.fields[5] = ScriptedField::Text(L"DL1ABC");
        dll->ResetStats0(ResetCall{});
        ASSERT_TRUE(PumpUntil([&] { return host.Commands().size() >= 2; }));
    }
    void TearDown() override { dll.reset(); }

    // One call check with the operator on a new frequency, so that the update
    // makes every one of its calls to the host: field reads, field 6, the
    // frequency and a command. True when the update reached the frequency.
    bool Update(DISPID failing = 0) {
        frequency += 1000;
        host.frequencyHz = frequency;
        host.failNext = failing;
        const int before = host.Count("frequency");
        const DWORD start = GetTickCount();
        dll->CheckCall0(CheckCallArgs{});
        EXPECT_LT(GetTickCount() - start, 100u);  // the host's thread never waits for an update
        PumpUntil([&] { return host.Count("frequency") > before || (failing && host.failNext == 0); });
        // The rest of the update, until the host hears nothing more.
        for (size_t seen = 0; seen != host.calls.size();) {
            seen = host.calls.size();
            PumpFor(100 + host.delayMs);
        }
        return host.Count("frequency") > before;
    }
};

TEST_F(HostFaultTest, EachCallFailingOrStallingLeavesTheNextUpdateWhole) {
    ASSERT_TRUE(Update());
    for (DISPID failing : {8, 16, 2, 18}) {
        Update(failing);
        EXPECT_EQ(host.failNext, 0) << "dispatch id " << failing << " was not called";
        EXPECT_TRUE(Update()) << "after dispatch id " << failing << " failed";
    }
    host.delayMs = 150;
    EXPECT_TRUE(Update());
    EXPECT_EQ(dll->AddData0(QsoCall{}), 1);
    EXPECT_NE(dll->Results().find("Score"), std::string::npos);
    EXPECT_EQ(host.Count("bad"), 0);
}

TEST_F(HostFaultTest, UnloadDuringAStalledUpdateEndsPromptly) {
    host.delayMs = 150;
    frequency += 1000;
    host.frequencyHz = frequency;
    const size_t before = host.calls.size();
    dll->CheckCall0(CheckCallArgs{});
    ASSERT_TRUE(PumpUntil([&] { return host.calls.size() > before; }));  // the update is under way
    const DWORD start = GetTickCount();
    dll.reset();
    const DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 4000u);
    // The update's helper finishes the unload once the host has answered.
    EXPECT_TRUE(PumpUntil([] { return OurVisibleWindows().empty() && StatsDllUnmapped(); }, 4000));
    RecordProperty("unload_ms", static_cast<int>(took));
}

}  // namespace
