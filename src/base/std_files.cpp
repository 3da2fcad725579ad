#include "base/std_files.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File Open(const std::string& path, const char* mode) {
    if (path.empty()) return nullptr;
    return File(std::fopen(path.c_str(), mode));
}

bool Write(const std::string& path, const char* mode, std::string_view bytes) {
    File f = Open(path, mode);
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    ok = std::fflush(f.get()) == 0 && ok;
    return std::fclose(f.release()) == 0 && ok;
}

bool Exists(const std::string& path) { return Open(path, "rb") != nullptr; }

}  // namespace

Files::ReadResult StdFiles::ReadWhole(const std::string& path, std::string& bytes) {
    bytes.clear();
    errno = 0;
    File f = Open(path, "rb");
    if (!f) return errno == ENOENT ? ReadResult::missing : ReadResult::unreadable;
    char block[16384];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, f.get())) > 0;) bytes.append(block, got);
    return std::ferror(f.get()) ? ReadResult::unreadable : ReadResult::ok;
}

bool StdFiles::Append(const std::string& path, std::string_view bytes) { return Write(path, "ab", bytes); }

bool StdFiles::Create(const std::string& path, std::string_view bytes) { return Write(path, "wb", bytes); }

bool StdFiles::ReplaceWhole(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    const std::string fresh = path + ".new";
    if (!Write(fresh, "wb", bytes)) {
        std::remove(fresh.c_str());
        return false;
    }
    // Some C libraries will not rename over an existing file, so the old one goes
    // first; if it cannot (locked, read-only), it stays as it was. (Renaming over
    // it was measured slower on the test machines' file system.)
    if (std::remove(path.c_str()) != 0 && Exists(path)) {
        std::remove(fresh.c_str());
        return false;
    }
    // Should the rename still fail, the complete new text is kept beside it.
    return std::rename(fresh.c_str(), path.c_str()) == 0;
}
