// An owned Win32 event object.
#pragma once

#include <windows.h>

class Event {
public:
    explicit Event(bool manualReset = true) : h_(CreateEventW(nullptr, manualReset, FALSE, nullptr)) {}
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    ~Event() {
        if (h_) CloseHandle(h_);
    }
    HANDLE Get() const { return h_; }
    bool IsSet() const { return WaitForSingleObject(h_, 0) == WAIT_OBJECT_0; }

private:
    HANDLE h_;
};
