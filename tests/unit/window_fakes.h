// In-memory stand-ins for the host's automation object and the side windows,
// for the tests of the window update.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/host_automation.h"
#include "base/window_surface.h"

struct FakeHost : HostAutomation {
    bool connected = true;
    std::map<int, std::string> fields;
    double frequency = 0.0;
    std::string failOn;              // a call ("get 9", "frequency", ...) that throws
    std::vector<std::string> calls;  // "get 5", "set 6 0042", "run <SP1>", "frequency"

    bool Connected() const override { return connected; }
    double GetFrequency() override {
        Record("frequency");
        return frequency;
    }
    std::string GetEntryField(int index) override {
        Record("get " + std::to_string(index));
        return fields[index];
    }
    void RunCommand(std::string_view command) override { Record("run " + std::string(command)); }
    void SetEntryField(int index, std::string_view text) override {
        Record("set " + std::to_string(index) + " " + std::string(text));
    }

private:
    void Record(const std::string& call) {
        calls.push_back(call);
        if (call == failOn) throw HostError("scripted failure");
    }
};

struct FakeSurface : WindowSurface {
    std::set<SideWindow> open;
    std::map<SideWindow, std::vector<std::string>> captions;  // every caption set, in order
    std::map<SideWindow, int> repaints, opens;
    int posts = 0;

    bool IsOpen(SideWindow w) override { return open.count(w) != 0; }
    void Open(SideWindow w) override {
        open.insert(w);
        ++opens[w];
    }
    void Close(SideWindow w) override { open.erase(w); }
    void SetCaption(SideWindow w, const Caption& c) override { captions[w].push_back(c.Joined()); }
    void Repaint(SideWindow w) override { ++repaints[w]; }
    void PostUpdate() override { ++posts; }

    std::string Last(SideWindow w) { return captions[w].empty() ? std::string() : captions[w].back(); }
};
