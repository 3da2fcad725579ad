#include "log/log_index.h"

#include <algorithm>
#include <initializer_list>

namespace {

// Parts joined by NUL. Host texts end at their first NUL, so the escapes below
// are there only to keep other callers' texts from ever sharing a key. A call,
// band and mode key usually fits the string's inline buffer: no allocation.
std::string Key(std::initializer_list<std::string_view> parts) {
    std::string key;
    bool first = true;
    for (auto p : parts) {
        if (!first) key += '\0';
        first = false;
        for (char c : p) {
            if (c == '\0' || c == '\1') {
                key += '\1';
                c = c == '\0' ? '\2' : '\1';
            }
            key += c;
        }
    }
    return key;
}

}  // namespace

std::size_t* LogIndex::CallOnBand::CountOf(std::string_view text) {
    if (modeCount > 0 && mode == text) return &modeCount;
    for (auto& m : otherModes)
        if (m.first == text) return &m.second;
    return nullptr;
}

bool LogIndex::Add(const CInfo& r) {
    CallOnBand& entry = callsOnBand_[Key({r.call, r.band})];
    ++entry.count;
    std::size_t* modeCount = entry.CountOf(r.mode);
    if (!modeCount) {
        if (entry.modeCount == 0) {
            entry.mode = r.mode;
            modeCount = &entry.modeCount;
        } else {
            modeCount = &entry.otherModes.emplace_back(r.mode, 0).second;
        }
    }
    const bool stored = (*modeCount)++ > 0;
    ++prefixesOnBand_[Key({r.band, r.nordicPrefix})];
    ++size_;
    return stored;
}

void LogIndex::Remove(const CInfo& r) {
    if (auto entry = callsOnBand_.find(Key({r.call, r.band})); entry != callsOnBand_.end()) {
        CallOnBand& e = entry->second;
        if (std::size_t* modeCount = e.CountOf(r.mode); modeCount && --*modeCount == 0 && modeCount != &e.modeCount)
            std::erase_if(e.otherModes, [](const auto& m) { return m.second == 0; });
        if (--e.count == 0) callsOnBand_.erase(entry);
    }
    if (auto prefix = prefixesOnBand_.find(Key({r.band, r.nordicPrefix})); prefix != prefixesOnBand_.end())
        if (--prefix->second == 0) prefixesOnBand_.erase(prefix);
    if (size_ > 0) --size_;
}

void LogIndex::Clear() {
    // Fresh maps rather than clear(): a reset after a large log gives the memory back.
    callsOnBand_ = {};
    prefixesOnBand_ = {};
    size_ = 0;
}

bool LogIndex::HasCallOnBand(std::string_view call, std::string_view band) const {
    return callsOnBand_.find(Key({call, band})) != callsOnBand_.end();
}

bool LogIndex::HasPrefixOnBand(std::string_view band, std::string_view nordicPrefix) const {
    return prefixesOnBand_.find(Key({band, nordicPrefix})) != prefixesOnBand_.end();
}
