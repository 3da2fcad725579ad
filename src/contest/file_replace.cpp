#include "contest/file_replace.h"

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool WriteWhole(const std::string& path, std::string_view bytes) {
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    ok = std::fflush(f.get()) == 0 && ok;
    return std::fclose(f.release()) == 0 && ok;
}

bool Exists(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    return f != nullptr;
}

}  // namespace

bool ReplaceFileContent(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    const std::string fresh = path + ".new";
    if (!WriteWhole(fresh, bytes)) {
        std::remove(fresh.c_str());
        return false;
    }
    // The C library on Windows will not rename over an existing file, so the old
    // one goes first; if it cannot (locked, read-only), it stays as it was.
    if (std::remove(path.c_str()) != 0 && Exists(path)) {
        std::remove(fresh.c_str());
        return false;
    }
    // Should the rename still fail, the complete new text is kept beside it.
    return std::rename(fresh.c_str(), path.c_str()) == 0;
}
