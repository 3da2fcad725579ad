// Files: the file operations of the contest code, on names relative to the host's
// working folder, as the host's 8-bit texts. The DLL implements them over the
// wide-character Win32 API (win32/files_win32.cpp), the native builds over the C
// library (base/std_files.cpp), and tests with faults of their choosing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/text_lines.h"

class Files {
public:
    Files() = default;
    Files(const Files&) = delete;
    Files& operator=(const Files&) = delete;
    virtual ~Files() = default;

    enum class ReadResult { ok, missing, unreadable };
    // The whole content into `bytes`. `missing` only when nothing is there by that
    // name; a folder, a locked or unreadable file is `unreadable`.
    virtual ReadResult ReadWhole(const std::string& path, std::string& bytes) = 0;

    // Appends to the file, creating it when missing; false when it cannot be
    // opened or written whole. The bytes reach the file before it returns. An
    // implementation may keep the file open for the next Append to the same name,
    // as long as every Append lands where a fresh open by that name would put it.
    virtual bool Append(const std::string& path, std::string_view bytes) = 0;

    // Closes a file that Append kept open, so that other programs may take it to
    // themselves. Create and ReplaceWhole close it too when they write that name.
    virtual void CloseKept() {}

    // Creates the file, or empties one that is there, with these bytes.
    virtual bool Create(const std::string& path, std::string_view bytes) = 0;

    // Replaces the whole content so that the name always holds either the old
    // file or the complete new one. On failure the old file is as it was.
    virtual bool ReplaceWhole(const std::string& path, std::string_view bytes) = 0;
};

// The file's lines (SplitLines), with ReadWhole's result; none unless it is ok.
inline Files::ReadResult ReadLines(Files& files, const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    std::string bytes;
    const Files::ReadResult result = files.ReadWhole(path, bytes);
    if (result == Files::ReadResult::ok) lines = SplitLines(bytes);
    return result;
}
