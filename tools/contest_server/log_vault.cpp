#include "log_vault.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "station_keys.h"

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // close reports a write-back failure (NFS, quota) that write did not.
    int Close() {
        const int r = ::close(fd_);
        fd_ = -1;
        return r;
    }

private:
    int fd_;
};

[[noreturn]] void Fail(const std::string& what, int error) {
    const bool full = error == ENOSPC || error == EDQUOT;
    throw VaultError(full ? "the server's disk is full" : what + ": " + std::strerror(error), full);
}

}  // namespace

LogVault::LogVault(std::string folder) : folder_(std::move(folder)) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error) throw StoreError(folder_ + ": cannot be made (" + error.message() + ")");
    // What a crash left half-written was never acknowledged: it goes.
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".") && name.ends_with(".part")) std::filesystem::remove(entry.path(), error);
    }
}

std::string LogVault::Keep(std::string_view bytes) const {
    // Random names: two uploads in one second never meet, and a name tells a
    // reader of the folder nothing a client chose.
    const std::string name = MakeStationKey() + ".log";
    const std::string path = folder_ + "/" + name;
    const std::string part = folder_ + "/." + name + ".part";
    Fd fd(::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0640));
    if (fd.get() < 0) Fail("cannot make a file in " + folder_, errno);
    const auto fail = [&](const std::string& what) {
        const int error = errno;
        ::unlink(part.c_str());
        Fail(what, error);
    };
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            fail("cannot write " + part);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd.get()) != 0 || fd.Close() != 0) fail("cannot write " + part);
    if (::rename(part.c_str(), path.c_str()) != 0) fail("cannot name " + path);
    // The rename itself is on disk only once the folder is.
    Fd dir(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0 || ::fsync(dir.get()) != 0) {
        const int error = errno;
        ::unlink(path.c_str());
        Fail("cannot write the folder " + folder_, error);
    }
    return name;
}

std::optional<std::string> LogVault::Read(const std::string& name) const {
    std::ifstream in(folder_ + "/" + name, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    if (in.bad()) return std::nullopt;
    return bytes;
}
