#include "contest/bad_qso_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "contest/file_replace.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File Open(const std::string& path, const char* mode) {
    if (path.empty()) return nullptr;
    return File(std::fopen(path.c_str(), mode));
}

bool WriteLine(std::FILE* f, std::string_view line) {
    return std::fwrite(line.data(), 1, line.size(), f) == line.size() && std::fputs("\r\n", f) >= 0;
}

// The file's lines without their line ends. nullopt when the file is missing
// (missing = true) or cannot be read.
std::optional<std::vector<std::string>> ReadLines(const std::string& path, bool& missing) {
    missing = false;
    errno = 0;
    File f = Open(path, "rb");
    if (!f) {
        missing = (errno == ENOENT);
        return std::nullopt;
    }
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    // Block reads: the file is read on every results call, and a character at a
    // time cost more than the scoring of a large log.
    char block[16384];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, f.get())) > 0;) {
        for (std::size_t i = 0; i < got;) {
            const char* end = static_cast<const char*>(std::memchr(block + i, '\n', got - i));
            const std::size_t stop = end ? static_cast<std::size_t>(end - block) : got;
            line.append(block + i, stop - i);
            open = true;
            i = stop;
            if (!end) break;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(std::move(line));
            line.clear();
            open = false;
            ++i;
        }
    }
    if (std::ferror(f.get())) return std::nullopt;
    if (open) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace

std::string BadQsoFileName(const DateTime& end) {
    return "BadQSO_StatsVERDAWW_" + FormatTime(end, "%d_%m_%Y") + ".txt";
}

bool CreateBadQsoFile(const std::string& path) {
    File f = Open(path, "wb");
    if (!f) return false;
    bool ok = WriteLine(f.get(), kBadQsoHeaderAtReset);
    return std::fclose(f.release()) == 0 && ok;
}

bool AppendBadQsoLine(const std::string& path, std::string_view line) {
    File f = Open(path, "ab");
    if (!f) return false;
    bool ok = WriteLine(f.get(), line);
    return std::fclose(f.release()) == 0 && ok;
}

bool RewriteBadQsoFileWithout(const std::string& path, std::string_view text1, std::string_view text2) {
    bool missing = false;
    auto lines = ReadLines(path, missing);
    if (!lines && !missing) return false;  // unreadable: keep its lines rather than lose them
    // Built whole first and swapped in, so a failed write cannot cut the old file short.
    std::string text(kBadQsoHeaderAtRemoval);
    text += "\r\n";
    if (lines) {
        for (std::size_t i = 1; i < lines->size(); ++i) {
            const std::string& l = (*lines)[i];
            if (l.find(text1) != std::string::npos && l.find(text2) != std::string::npos) continue;
            text += l;
            text += "\r\n";
        }
    }
    return ReplaceFileContent(path, text);
}

int CountRejectedLines(const std::string& path) {
    bool missing = false;
    auto lines = ReadLines(path, missing);
    if (!lines) return 0;
    int count = 0;
    for (const auto& l : *lines)
        if (l.find("DUPE") == std::string::npos && l.find("UBN") == std::string::npos) ++count;
    return count;
}
