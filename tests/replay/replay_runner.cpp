#include "replay_runner.h"

#include <gtest/gtest.h>

#include <sstream>

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

ReplayRun Replay(const std::string& args) {
    std::string exe = StatsDll::DefaultPath();
    exe.replace(exe.size() - 9, 9, "replay.exe");
    std::wstring command = L"\"" + Wide(exe) + L"\" " + Wide(args);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    ReplayRun run;
    {
        Handle out(CreateFileA("stdout.txt", GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
        Handle err(CreateFileA("stderr.txt", GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = out.get();
        si.hStdError = err.get();
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
            ADD_FAILURE() << "cannot start replay.exe " << args;
            return run;
        }
        Handle process(pi.hProcess), thread(pi.hThread);
        EXPECT_EQ(WaitForSingleObject(pi.hProcess, 120000), WAIT_OBJECT_0);
        GetExitCodeProcess(pi.hProcess, &run.exitCode);
    }
    run.out = Lf(ReadFileBytes("stdout.txt"));
    run.err = Lf(ReadFileBytes("stderr.txt"));
    return run;
}
