#include "replay_runner.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>

#include "stand_in_host.h"

namespace {

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (h_ && h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

}  // namespace

std::wstring Wide(const std::string& utf8) {
    std::wstring out(utf8.size(), L'\0');
    out.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), static_cast<int>(out.size()))));
    return out;
}

std::string Lf(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

namespace {

std::wstring CommandLine(const std::string& args) {
    std::string exe = StatsDll::DefaultPath();
    exe.replace(exe.size() - 9, 9, "replay.exe");
    return L"\"" + Wide(exe) + L"\" " + Wide(args);
}

// Starts replay.exe with its output in stdout.txt and stderr.txt of this folder.
bool Start(const std::string& args, HANDLE input, PROCESS_INFORMATION& pi) {
    std::wstring command = CommandLine(args);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Handle out(CreateFileA("stdout.txt", GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
    Handle err(CreateFileA("stderr.txt", GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = input;
    si.hStdOutput = out.get();
    si.hStdError = err.get();
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return true;
    ADD_FAILURE() << "cannot start replay.exe " << args;
    return false;
}

ReplayRun Finish(HANDLE process) {
    ReplayRun run;
    EXPECT_EQ(WaitForSingleObject(process, 120000), WAIT_OBJECT_0);
    GetExitCodeProcess(process, &run.exitCode);
    run.out = Lf(ReadFileBytes("stdout.txt"));
    run.err = Lf(ReadFileBytes("stderr.txt"));
    return run;
}

}  // namespace

ReplayRun Replay(const std::string& args) {
    PROCESS_INFORMATION pi{};
    if (!Start(args, GetStdHandle(STD_INPUT_HANDLE), pi)) return {};
    Handle process(pi.hProcess), thread(pi.hThread);
    return Finish(pi.hProcess);
}

ReplaySession::ReplaySession(const std::string& args) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr;
    if (!CreatePipe(&read, &input_, &inherit, 0)) return;
    SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
    PROCESS_INFORMATION pi{};
    if (Start(args, read, pi)) {
        CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        pid_ = pi.dwProcessId;
    }
    CloseHandle(read);
}

ReplaySession::~ReplaySession() {
    if (process_) Wait();
}

void ReplaySession::Type(const std::string& line) {
    const std::string bytes = line + "\r\n";
    DWORD done = 0;
    if (input_) WriteFile(input_, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
}

std::string ReplaySession::Output() const { return Lf(ReadFileBytes("stdout.txt")); }

ReplayRun ReplaySession::Wait() {
    if (input_) CloseHandle(std::exchange(input_, nullptr));
    if (!process_) return {};
    const ReplayRun run = Finish(process_);
    CloseHandle(std::exchange(process_, nullptr));
    return run;
}
