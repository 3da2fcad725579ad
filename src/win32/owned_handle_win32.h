// A Win32 handle of ours, closed by the function that goes with its kind.
#pragma once

#include <windows.h>

template <BOOL(WINAPI* CloseFn)(HANDLE)>
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE h) : h_(h) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() { Close(); }

    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    // Closes now; false when the close itself failed (a write that never reached
    // the file shows here).
    bool Close() {
        const bool ok = !Valid() || CloseFn(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }
    // Closes the one held and takes `h` instead.
    void Reset(HANDLE h) {
        Close();
        h_ = h;
    }

private:
    HANDLE h_;
};

using FileHandle = OwnedHandle<CloseHandle>;
using FindHandle = OwnedHandle<FindClose>;
