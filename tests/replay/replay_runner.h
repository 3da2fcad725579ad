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

std::string Lf(const std::string& text);
std::vector<std::string> Lines(const std::string& text);
std::wstring Wide(const std::string& utf8);
