// In-memory Files for the core's unit tests, with faults on demand: the Nth
// open (read, append, create or replace, counted together) fails, a name can be
// a folder, and every name can be made unreadable.
#pragma once

#include <map>
#include <set>
#include <string>

#include "base/files.h"

struct FakeFiles final : Files {
    std::map<std::string, std::string> content;
    std::set<std::string> folders;  // names taken by a folder
    int opens = 0;
    int failOpen = 0;  // the open with this number (1 = the first) fails; 0: none

    ReadResult ReadWhole(const std::string& path, std::string& bytes) override {
        bytes.clear();
        if (Fails() || folders.count(path)) return ReadResult::unreadable;
        auto it = content.find(path);
        if (it == content.end()) return ReadResult::missing;
        bytes = it->second;
        return ReadResult::ok;
    }
    bool Append(const std::string& path, std::string_view bytes) override {
        if (Fails() || folders.count(path)) return false;
        content[path] += bytes;
        return true;
    }
    bool Create(const std::string& path, std::string_view bytes) override {
        if (Fails() || folders.count(path)) return false;
        content[path] = bytes;
        return true;
    }
    bool ReplaceWhole(const std::string& path, std::string_view bytes) override {
        if (Fails() || folders.count(path)) return false;
        content[path] = bytes;
        return true;
    }

private:
    bool Fails() { return ++opens == failOpen; }
};
