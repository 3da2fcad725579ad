// Win32Files: Files over the wide-character Win32 API. Names are the host's texts
// in its ANSI code page; a replace is one MoveFileEx over the old file.
//
// Append keeps its file open between calls: under Wine and with a virus scanner
// an open and close costs many times what the intake of a QSO costs. The file is
// shared for reading, writing, renaming and deleting, and before each line the
// name is looked up again; the kept handle is used only while the name still
// shows the very file it holds, so that a file deleted, renamed, replaced or made
// read-only meanwhile gets what a fresh open would give it.
#pragma once

#include <windows.h>

#include <string>

#include "base/files.h"
#include "base/thread_annotations.h"
#include "win32/owned_handle_win32.h"

class Win32Files final : public Files {
public:
    ReadResult ReadWhole(const std::string& path, std::string& bytes) override;
    bool Append(const std::string& path, std::string_view bytes) override;
    bool Create(const std::string& path, std::string_view bytes) override;
    bool ReplaceWhole(const std::string& path, std::string_view bytes) override;
    void CloseKept() override;

private:
    void CloseKeptIfNamed(const std::string& path);
    void CloseKeptLocked() REQUIRES(lock_);
    bool KeptFileStillNamed() REQUIRES(lock_);

    Mutex lock_;
    std::string keptPath_ GUARDED_BY(lock_);
    std::wstring keptName_ GUARDED_BY(lock_);
    FileHandle kept_ GUARDED_BY(lock_){INVALID_HANDLE_VALUE};
};
