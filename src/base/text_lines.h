// Splitting a file's bytes into lines: LF ends a line, a CR before it is dropped,
// and a last line without an LF still counts.
#pragma once

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

inline std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < bytes.size();) {
        const char* end = static_cast<const char*>(std::memchr(bytes.data() + i, '\n', bytes.size() - i));
        const std::size_t stop = end ? static_cast<std::size_t>(end - bytes.data()) : bytes.size();
        std::string line(bytes.substr(i, stop - i));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        i = stop + 1;
    }
    return lines;
}
