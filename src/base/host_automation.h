// HostAutomation: the host's automation object as the window thread sees it.
// Implemented over COM (host_link_win32.cpp) and by fakes in tests.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// A call the host refused or answered with something unusable. Ends the update.
class HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class HostAutomation {
public:
    HostAutomation() = default;
    HostAutomation(const HostAutomation&) = delete;
    HostAutomation& operator=(const HostAutomation&) = delete;
    virtual ~HostAutomation() = default;

    // False when no host object was found; every other call is then a no-op.
    virtual bool Connected() const = 0;

    // The host's frequency in hertz (0 without a link).
    virtual double GetFrequency() = 0;
    // An entry field as text in the host's code page (empty without a link).
    virtual std::string GetEntryField(int index) = 0;
    virtual void RunCommand(std::string_view command) = 0;
    virtual void SetEntryField(int index, std::string_view text) = 0;
};
