#include "contest/reset.h"

#include <array>
#include <optional>
#include <string>

#include "contest/bad_qso_file.h"
#include "contest/contest_rules.h"
#include "base/env.h"
#include "base/files.h"
#include "contest/countries.h"

namespace {

// Host versions whose automation the windows cannot work with.
constexpr std::array<std::string_view, 6> kVersionsWithoutWindows = {"2.18", "2.17", "2.16", "2.15", "2.14", "2.14R"};

constexpr std::string_view kVersionKey = "Tevo=";
constexpr std::string_view kVersionWithoutSettingsFile = "Tevo";

// The version is whatever follows the first five characters of the first line that
// holds the key, even when the key is not at the start of the line.
std::optional<std::string> VersionFromSettingsFile(Files& files) {
    TextList lines;
    if (ReadLines(files, kHostSettingsFile, lines) != Files::ReadResult::ok) return std::nullopt;
    for (const std::string& line : lines) {
        if (line.find(kVersionKey) == std::string::npos) continue;
        return line.size() > kVersionKey.size() ? line.substr(kVersionKey.size()) : std::string();
    }
    return std::nullopt;
}

void ReadHostVersion(ContestState& state, Env& env, Files& files, std::string_view hostFolder) {
    bool found = false;
    for (const auto& name : env.FindFiles(std::string(hostFolder) + "*.ini")) {
        if (name.find(kHostSettingsFile) != std::string::npos) {
            found = true;
            break;
        }
    }
    if (!found) {
        state.hostVersion = kVersionWithoutSettingsFile;
        return;
    }
    if (auto version = VersionFromSettingsFile(files)) state.hostVersion = std::move(*version);
}

TextList ReadCallHistory(Files& files) {
    TextList lines;
    ReadLines(files, kCallHistoryFile, lines);  // none when it cannot be read
    return lines;
}

}  // namespace

// Read the way the C library's atoi reads it: leading blanks, an optional sign,
// digits; anything else reads as 0. Only zero or not matters here.
bool IsNonzeroNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::string_view(" \t\n\v\f\r").find(text[i]) != std::string_view::npos) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (text[i] != '0') return true;
    return false;
}

bool WindowsAllowedFor(std::string_view hostVersion) {
    for (auto v : kVersionsWithoutWindows)
        if (v == hostVersion) return false;
    return true;
}

void ResetLog(ContestState& state, Env& env, Files& files, const ResetArgs& args) {
    // The window thread reads all of this; it must not see a half-made pass. The
    // lock is let go before anything that may wait for that thread.
    MutexLock lock(state.shared.lock);
    state.startText = FormatTime(args.start, "%d.%m");
    state.shared.startYear = FormatTime(args.start, "%Y");
    state.endText = FormatTime(args.end, "%d.%m.%Y");

    ReadHostVersion(state, env, files, args.hostFolder);

    // The host replays its whole log after a reset: the log and its index get
    // room for as many QSOs as before, sparing the replay every regrowth. Room the
    // log already has is kept, pages and all, unless it is well beyond that.
    const std::size_t replayed = state.shared.log.size();
    state.shared.log.clear();
    if (state.shared.log.capacity() > replayed + replayed / 4 + 64) {
        state.shared.log.shrink_to_fit();
        state.shared.log.reserve(replayed);
    }
    state.logIndex.Clear();
    state.logIndex.Reserve(replayed);
    state.exchangeKeys.Clear();
    state.workedBands.clear();

    state.myCountry = args.myCountry;
    state.myContinent = args.myContinent;
    state.myCall = args.myCall;
    if (IsRussianLanguage(args.myCountry)) state.shared.russianUi = 1;

    state.shared.callHistory = ReadCallHistory(files);

    for (int i = 0; i < kBandCount; ++i) state.shared.bandRows[i] = {g_bands[i], "-", "-", "-", "-"};
    state.badQsoPath = BadQsoFileName(args.end);
    state.makeCabrillo = args.makeCabrillo;
}
