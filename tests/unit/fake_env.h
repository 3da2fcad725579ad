// In-memory Env for the core's unit tests, and a scratch working directory.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <map>
#include <string>
#include <vector>

#include "base/env.h"

struct FakeEnv : Env {
    std::map<std::string, std::string> settings;
    std::vector<std::string> settingWrites;  // "key=value" in order
    std::vector<std::string> files;           // what FindFiles answers
    std::vector<std::string> searched;        // patterns asked for
    bool windowsOpen = false;
    int posts = 0;
    int threadStarts = 0;
    std::vector<std::string> messages;

    std::string ReadSetting(std::string_view key) override {
        auto it = settings.find(std::string(key));
        return it == settings.end() ? std::string() : it->second;
    }
    void WriteSetting(std::string_view key, std::string_view value) override {
        settings[std::string(key)] = std::string(value);
        settingWrites.push_back(std::string(key) + "=" + std::string(value));
    }
    std::optional<std::string> ReadSettingIfPresent(std::string_view key) override {
        auto it = settings.find(std::string(key));
        if (it == settings.end()) return std::nullopt;
        return it->second;
    }
    std::vector<std::string> FindFiles(const std::string& pattern) override {
        searched.push_back(pattern);
        return files;
    }
    bool WindowsOpen() override { return windowsOpen; }
    void PostUpdateWindows() override {
        if (windowsOpen) ++posts;
    }
    void StartWindowThread() override {
        ++threadStarts;
        windowsOpen = true;
    }
    void ShowMessage(std::string_view text, std::string_view caption, MessageIcon) override {
        messages.push_back(std::string(caption) + "|" + std::string(text));
    }
    // The operator accepts the Cabrillo header as shown.
    bool RunCabrilloDialog(CabrilloHeaderFields&) override { return true; }
};

// Runs a test inside a fresh empty working directory, removed afterwards.
class ScratchDir {
public:
    ScratchDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "stats-test-XXXXXX").string();
        dir_ = mkdtemp(tmpl.data());
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
        std::filesystem::create_directory("Plugins");
    }
    ~ScratchDir() {
        std::filesystem::current_path(old_);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    const std::filesystem::path& path() const { return dir_; }

private:
    std::filesystem::path dir_, old_;
};

// The whole content of a file as bytes; empty when it cannot be read.
inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
