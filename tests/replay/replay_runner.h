// Runs replay.exe from the folder of the test program, in the current folder,
// as an operator would from a command prompt; its output with LF line ends.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ReplayRun {
    DWORD exitCode = 0;
    std::string out, err;
};

// `args` is UTF-8, passed on through the wide-character command line.
ReplayRun Replay(const std::string& args);

// A replay.exe still running, its input a pipe that lines are typed into.
class ReplaySession {
public:
    explicit ReplaySession(const std::string& args);
    ~ReplaySession();  // ends the input and waits, as Wait does
    ReplaySession(const ReplaySession&) = delete;
    ReplaySession& operator=(const ReplaySession&) = delete;

    DWORD processId() const { return pid_; }
    void Type(const std::string& line);
    // What it wrote so far, LF line ends.
    std::string Output() const;
    // Ends the input and waits for the program to end.
    ReplayRun Wait();

private:
    HANDLE process_ = nullptr, input_ = nullptr;
    DWORD pid_ = 0;
};

std::string Lf(const std::string& text);
std::vector<std::string> Lines(const std::string& text);
std::wstring Wide(const std::string& utf8);
