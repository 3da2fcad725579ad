#include "failing_vfs.h"

#include <sqlite3.h>

#include <atomic>
#include <mutex>

namespace {

std::atomic<int> g_seen{0};
std::atomic<int> g_failAt{0};

bool Fails() {
    const int n = ++g_seen;
    return n == g_failAt.load();
}

// The file as this VFS hands it out: its own methods first, the real file after.
struct File {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<File*>(f)->real; }

int Close(sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); }
int Read(sqlite3_file* f, void* p, int n, sqlite3_int64 at) { return Real(f)->pMethods->xRead(Real(f), p, n, at); }
int Write(sqlite3_file* f, const void* p, int n, sqlite3_int64 at) {
    return Fails() ? SQLITE_IOERR_WRITE : Real(f)->pMethods->xWrite(Real(f), p, n, at);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    return Fails() ? SQLITE_IOERR_TRUNCATE : Real(f)->pMethods->xTruncate(Real(f), size);
}
int Sync(sqlite3_file* f, int flags) { return Fails() ? SQLITE_IOERR_FSYNC : Real(f)->pMethods->xSync(Real(f), flags); }
int FileSize(sqlite3_file* f, sqlite3_int64* size) { return Real(f)->pMethods->xFileSize(Real(f), size); }
int Lock(sqlite3_file* f, int level) { return Real(f)->pMethods->xLock(Real(f), level); }
int Unlock(sqlite3_file* f, int level) { return Real(f)->pMethods->xUnlock(Real(f), level); }
int CheckReservedLock(sqlite3_file* f, int* out) { return Real(f)->pMethods->xCheckReservedLock(Real(f), out); }
int FileControl(sqlite3_file* f, int op, void* arg) { return Real(f)->pMethods->xFileControl(Real(f), op, arg); }
int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
int DeviceCharacteristics(sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); }
int ShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
    return Real(f)->pMethods->xShmMap(Real(f), page, size, extend, out);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) { return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags); }
void ShmBarrier(sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); }
int ShmUnmap(sqlite3_file* f, int remove) { return Real(f)->pMethods->xShmUnmap(Real(f), remove); }

// Memory-mapped reads stay off (xFetch unset, version 2), so every page goes through Read.
const sqlite3_io_methods kMethods = {2,        Close,      Read,         Write,       Truncate,     Sync,
                                     FileSize, Lock,       Unlock,       CheckReservedLock, FileControl, SectorSize,
                                     DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier, ShmUnmap, nullptr, nullptr};

sqlite3_vfs g_vfs;
sqlite3_vfs* g_system = nullptr;

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    File* file = reinterpret_cast<File*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    const int r = g_system->xOpen(g_system, name, file->real, flags, outFlags);
    file->base.pMethods = file->real->pMethods ? &kMethods : nullptr;
    return r;
}

}  // namespace

const char* FailingVfs() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        g_system = sqlite3_vfs_find(nullptr);
        g_vfs = *g_system;
        g_vfs.zName = "failing";
        g_vfs.szOsFile = static_cast<int>(sizeof(File)) + g_system->szOsFile;
        g_vfs.xOpen = Open;
        sqlite3_vfs_register(&g_vfs, 0);
    });
    return "failing";
}

void FailNthWrite(int n) { g_failAt = n == 0 ? 0 : g_seen.load() + n; }

int WritesSeen() { return g_seen.load(); }
