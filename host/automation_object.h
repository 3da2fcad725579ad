// The stand-in host's automation object: registered as "Tevo2.Application" (the
// ProgID under HKEY_CLASSES_ROOT, the object in the running object table), it
// serves the four dispatch ids the plug-in uses from values a test scripts and
// records every call. It lives on the creating thread's COM apartment, so that
// thread must pump messages (PumpUntil) while the plug-in calls it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// A single-threaded COM apartment for the lifetime of the object: the host
// object's thread.
class ComThread {
public:
    ComThread() { CoInitialize(nullptr); }
    ~ComThread() { CoUninitialize(); }
    ComThread(const ComThread&) = delete;
    ComThread& operator=(const ComThread&) = delete;
};

// What GetEntryField answers for one field.
struct ScriptedField {
    enum class Kind { text, number, unconvertible } kind = Kind::text;
    std::wstring text;
    long number = 0;

    static ScriptedField Text(std::wstring t) { return {Kind::text, std::move(t), 0}; }
    static ScriptedField Number(long n) { return {Kind::number, {}, n}; }
    static ScriptedField Unconvertible() { return {Kind::unconvertible, {}, 0}; }  // VT_NULL
};

class HostAutomationObject {
public:
    // Needs CoInitialize on this thread. Registers the object; the destructor
    // revokes it and removes the ProgID. A ProgID of another program is left
    // alone, and the object then stays unregistered.
    HostAutomationObject();
    ~HostAutomationObject();
    HostAutomationObject(const HostAutomationObject&) = delete;
    HostAutomationObject& operator=(const HostAutomationObject&) = delete;

    bool registered() const { return cookie_ != 0; }

    // Script: what the host answers. Missing fields read as empty text.
    std::map<int, ScriptedField> fields;
    double frequencyHz = 0.0;
    // The next call with this dispatch id fails (DISP_E_EXCEPTION), once.
    DISPID failNext = 0;
    // Every call first keeps the host busy this long, as a host that hangs briefly.
    DWORD delayMs = 0;
    // The next call with this dispatch id stalls for stallMs first, once: a host
    // that stops answering in the middle of an update.
    DISPID stallNext = 0;
    DWORD stallMs = 0;

    // Held while a call reads the script and records itself; a test that scripts
    // from a thread other than the object's holds it too.
    std::mutex scriptLock;

    // Every call in order: "get 5", "set 6 0042", "run <SP1>", "frequency",
    // and "bad ..." for a call with the wrong kind, argument count or types.
    std::vector<std::string> calls;
    // Counts of the recorded calls starting with `prefix`.
    int Count(const std::string& prefix) const;
    std::vector<std::string> Commands() const;  // the texts of the "run" calls

private:
    class Dispatch;
    Dispatch* object_ = nullptr;
    DWORD cookie_ = 0;
    bool ownsProgId_ = false;
};

// Pumps this thread's messages until done() or the time is up; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);

// Pumps for a while, for checks that nothing more happens.
void PumpFor(DWORD ms);

// Runs `body` on a worker thread, as a host that calls the exports from one does,
// while this thread pumps for the host object (for up to timeoutMs); returns once
// the worker is done.
void RunOnWorker(const std::function<void()>& body, DWORD timeoutMs = INFINITE);
