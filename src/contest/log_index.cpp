#include "contest/log_index.h"

#include <algorithm>
#include <functional>
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

std::uint32_t HashOf(std::string_view key) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(key));
}

}  // namespace

std::size_t LogIndex::Find(std::string_view key, std::uint32_t hash) const {
    const std::size_t mask = callsOnBand_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const CallOnBand& e = callsOnBand_[i];
        if (e.count == 0 || (e.hash == hash && e.key == key)) return i;
    }
}

void LogIndex::Grow(std::size_t slots) {
    std::vector<CallOnBand> grown(slots);  // the only step that may fail: nothing has changed yet
    std::swap(grown, callsOnBand_);
    for (auto& e : grown)
        if (e.count != 0) callsOnBand_[Find(e.key, e.hash)] = std::move(e);
}

// Linear probing keeps no tombstones: the entries after the hole that may fill it
// move back, so every entry stays reachable from its home slot.
void LogIndex::EraseAt(std::size_t hole) {
    const std::size_t mask = callsOnBand_.size() - 1;
    for (std::size_t j = (hole + 1) & mask; callsOnBand_[j].count != 0; j = (j + 1) & mask) {
        const std::size_t home = callsOnBand_[j].hash & mask;
        const bool homeAfterHole = hole <= j ? (hole < home && home <= j) : (hole < home || home <= j);
        if (!homeAfterHole) {
            callsOnBand_[hole] = std::move(callsOnBand_[j]);
            hole = j;
        }
    }
    callsOnBand_[hole] = CallOnBand{};
    --callsUsed_;
}

std::uint32_t LogIndex::ModeId(std::string_view mode) {
    for (std::size_t i = 0; i < modes_.size(); ++i)
        if (modes_[i] == mode) return static_cast<std::uint32_t>(i);
    modes_.emplace_back(mode);
    return static_cast<std::uint32_t>(modes_.size() - 1);
}

bool LogIndex::Add(const CInfo& r) {
    // Everything that may fail comes first, so a failure leaves the counts as they were.
    if ((callsUsed_ + 1) * 2 > callsOnBand_.size()) Grow(std::max<std::size_t>(64, callsOnBand_.size() * 2));
    std::string key = Key({r.call, r.band});
    const std::uint32_t hash = HashOf(key);
    CallOnBand& e = callsOnBand_[Find(key, hash)];
    const std::uint32_t mode = ModeId(r.mode);
    const bool inFirstMode = e.count != 0 && e.modeCount != 0 && e.mode == mode;
    std::size_t* other = nullptr;  // this mode's count beside the first mode
    if (e.count != 0 && !inFirstMode) {
        std::string modeKey = Key({r.call, r.band, r.mode});
        auto it = otherModes_.find(modeKey);
        if (it != otherModes_.end() && it->second != 0)
            other = &it->second;
        else if (e.modeCount != 0)
            other = &otherModes_[std::move(modeKey)];
    }
    std::size_t& prefixCount = prefixesOnBand_[Key({r.band, r.nordicPrefix})];

    bool stored = false;
    if (e.count == 0) {
        e.key = std::move(key);
        e.hash = hash;
        ++callsUsed_;
    }
    if (inFirstMode) {
        stored = true;
        ++e.modeCount;
    } else if (other) {
        stored = (*other)++ != 0;
    } else {
        // New here, or the first mode's QSOs are all gone: this mode takes its place.
        e.mode = mode;
        e.modeCount = 1;
    }
    ++e.count;
    ++prefixCount;
    ++size_;
    return stored;
}

void LogIndex::Remove(const CInfo& r) {
    if (!callsOnBand_.empty()) {
        const std::string key = Key({r.call, r.band});
        const std::size_t at = Find(key, HashOf(key));
        CallOnBand& e = callsOnBand_[at];
        if (e.count != 0) {
            if (e.modeCount != 0 && modes_[e.mode] == r.mode) {
                --e.modeCount;
            } else if (auto it = otherModes_.find(Key({r.call, r.band, r.mode})); it != otherModes_.end()) {
                if (it->second <= 1) otherModes_.erase(it);
                else --it->second;
            }
            if (--e.count == 0) EraseAt(at);
        }
    }
    if (auto prefix = prefixesOnBand_.find(Key({r.band, r.nordicPrefix})); prefix != prefixesOnBand_.end())
        if (--prefix->second == 0) prefixesOnBand_.erase(prefix);
    if (size_ > 0) --size_;
}

void LogIndex::Clear() {
    // Fresh tables rather than clear(): a reset after a large log gives the memory back.
    callsOnBand_ = {};
    callsUsed_ = 0;
    modes_ = {};
    otherModes_ = {};
    prefixesOnBand_ = {};
    size_ = 0;
}

void LogIndex::Reserve(std::size_t records) {
    std::size_t slots = 64;
    while (slots < records * 2) slots *= 2;
    if (slots > callsOnBand_.size()) Grow(slots);
}

bool LogIndex::HasCallOnBand(std::string_view call, std::string_view band) const {
    if (callsOnBand_.empty()) return false;
    const std::string key = Key({call, band});
    return callsOnBand_[Find(key, HashOf(key))].count != 0;
}

bool LogIndex::HasPrefixOnBand(std::string_view band, std::string_view nordicPrefix) const {
    return prefixesOnBand_.find(Key({band, nordicPrefix})) != prefixesOnBand_.end();
}
