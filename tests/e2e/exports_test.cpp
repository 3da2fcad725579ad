// The plug-in's face to the host: its export and import tables and the exports
// that answer without a log.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "plugin_test.h"
#include "window_driver.h"

namespace {

using ExportsTest = PluginTest;

const IMAGE_NT_HEADERS32* NtHeaders(HMODULE m) {
    auto base = reinterpret_cast<const BYTE*>(m);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
}

std::set<std::string> ExportNames(HMODULE m) {
    auto base = reinterpret_cast<const BYTE*>(m);
    const auto& dir = NtHeaders(m)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::set<std::string> result;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) result.insert(reinterpret_cast<const char*>(base + names[i]));
    EXPECT_EQ(exports->NumberOfFunctions, 11u);
    return result;
}

std::set<std::string> ImportedDlls(HMODULE m) {
    auto base = reinterpret_cast<const BYTE*>(m);
    const auto& dir = NtHeaders(m)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::set<std::string> result;
    for (auto d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
        std::string name = reinterpret_cast<const char*>(base + d->Name);
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        result.insert(name);
    }
    return result;
}

TEST_F(ExportsTest, IsA32BitDllWithExactlyTheElevenExports) {
    const auto* nt = NtHeaders(dll.module());
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_TRUE(nt->FileHeader.Characteristics & IMAGE_FILE_DLL);
    EXPECT_EQ(ExportNames(dll.module()),
              (std::set<std::string>{"AddData0", "RemoveData0", "ResetStats0", "CheckCall0", "IsValidExchg0",
                                     "GetExchgCount0", "GetNumberOfSets", "GetResult0", "GetSetName", "SetupSet0",
                                     "setVersion"}));
}

TEST_F(ExportsTest, ImportsOnlyWindowsSystemDlls) {
    // winhttp posts the live score; crypt32 seals its key (DPAPI).
    const std::set<std::string> system = {"kernel32.dll", "user32.dll",  "gdi32.dll",    "advapi32.dll",
                                          "ole32.dll",    "oleaut32.dll", "msvcrt.dll",   "comctl32.dll",
                                          "shell32.dll",  "winhttp.dll",  "crypt32.dll"};
    for (const auto& name : ImportedDlls(dll.module())) EXPECT_TRUE(system.count(name)) << name;
}

TEST_F(ExportsTest, SetNameAndCounts) {
    EXPECT_STREQ(dll.GetSetName(0), "VERDA-WW-DX (C) ");
    EXPECT_STREQ(dll.GetSetName(1), "");
    EXPECT_STREQ(dll.GetSetName(-1), "");
    EXPECT_EQ(dll.GetNumberOfSets(), 1);
    EXPECT_EQ(dll.GetExchgCount0("junk1", "junk2", "junk3"), 1);
    EXPECT_EQ(dll.GetExchgCount0(nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(dll.Export("GetExchgCount0"), dll.Export("GetNumberOfSets"));  // one body
}

TEST_F(ExportsTest, SetVersionAnswersZeroEveryTime) {
    EXPECT_EQ(dll.setVersion("2.19"), 0u);
    EXPECT_EQ(dll.setVersion(nullptr), 0u);
}

TEST_F(ExportsTest, SetupShowsItsMessageBoxOwnedByTheActiveWindow) {
    auto seen = AnswerNextMessageBox();
    dll.SetupSet0();
    SeenDialog box = seen.get();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, "No additional setup for this plugin");
    EXPECT_EQ(box.caption, "Error");  // the system's default caption
    EXPECT_EQ(box.owner, nullptr);    // no active window in this host

    HWND host = CreateWindowA("STATIC", "Tevo", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                              nullptr, nullptr);
    SetActiveWindow(host);
    ASSERT_EQ(GetActiveWindow(), host);
    seen = AnswerNextMessageBox();
    dll.SetupSet0();
    box = seen.get();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.owner, host);
    DestroyWindow(host);
}

TEST(PluginLifetime, LoadsAndUnloadsRepeatedly) {
    ScratchFolder folder;
    for (int i = 0; i < 5; ++i) {
        StatsDll dll;
        ResetCall reset;
        EXPECT_EQ(dll.ResetStats0(reset), 1);
        EXPECT_EQ(dll.AddData0(QsoCall{}), 1);
    }
}

}  // namespace
