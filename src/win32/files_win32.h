// Win32Files: Files over the wide-character Win32 API. Names are the host's texts
// in its ANSI code page; a replace is one MoveFileEx over the old file.
#pragma once

#include "base/files.h"

class Win32Files final : public Files {
public:
    ReadResult ReadWhole(const std::string& path, std::string& bytes) override;
    bool Append(const std::string& path, std::string_view bytes) override;
    bool Create(const std::string& path, std::string_view bytes) override;
    bool ReplaceWhole(const std::string& path, std::string_view bytes) override;
};
