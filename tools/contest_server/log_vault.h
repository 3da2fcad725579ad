// The folder of uploaded logs: each file written whole under a name this server
// makes, and on disk before anyone is told it was taken. Linux.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "score_store.h"

// A file that could not be written; nothing of it is left behind.
class VaultError : public StoreError {
public:
    VaultError(const std::string& why, bool full) : StoreError(why), full_(full) {}
    bool full() const { return full_; }  // the disk (or the quota) is full

private:
    bool full_;
};

class LogVault {
public:
    // Makes the folder when missing, and clears what a crash left half-written.
    // Throws StoreError.
    explicit LogVault(std::string folder);

    // Writes the bytes to a new file: a temporary name, fsync, rename, fsync of
    // the folder. Returns the file's name. Throws VaultError.
    std::string Keep(std::string_view bytes) const;
    // The bytes of a file Keep made; empty when it is gone or unreadable.
    std::optional<std::string> Read(const std::string& name) const;
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
};
