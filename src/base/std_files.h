// StdFiles: Files over the C library, for the native builds (tests, fuzzing,
// benchmarks). A replace writes the new text beside the file and renames it over.
#pragma once

#include "base/files.h"

class StdFiles final : public Files {
public:
    ReadResult ReadWhole(const std::string& path, std::string& bytes) override;
    bool Append(const std::string& path, std::string_view bytes) override;
    bool Create(const std::string& path, std::string_view bytes) override;
    bool ReplaceWhole(const std::string& path, std::string_view bytes) override;
};
