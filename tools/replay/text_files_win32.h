// Names and whole files through the wide-character API, so that a log or a
// folder named in any script opens on Windows and under Wine. Names travel as
// UTF-8 inside the program; messages for the console are in its ANSI code page.
#pragma once

#include <cstdint>
#include <map>
#include <string>

std::wstring Widen(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
// UTF-8 text as the console's ANSI code page shows it ('?' where it cannot).
std::string ToAnsi(const std::string& utf8);

bool PathExists(const std::string& utf8Path);
// Throws InputError naming the file when it cannot be opened or read.
std::string ReadWholeFile(const std::string& utf8Path);
// Writes the whole text beside the target, then moves it into place: a reader
// never sees half a file, and a failure leaves the old one. False on failure.
bool WriteWholeFile(const std::wstring& path, const std::string& text);

// The files of the current folder that match the pattern ("*.cbr"), by UTF-8
// name, with their last write times.
std::map<std::string, std::uint64_t> WriteTimes(const std::wstring& pattern);
