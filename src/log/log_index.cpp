#include "log/log_index.h"

#include <cstdint>
#include <initializer_list>

namespace {

// Each part is length-prefixed, so no call or band text can make two different
// tuples share a key.
std::string Key(std::initializer_list<std::string_view> parts) {
    std::string key;
    std::size_t total = 0;
    for (auto p : parts) total += p.size() + sizeof(std::uint32_t);
    key.reserve(total);
    for (auto p : parts) {
        const auto n = static_cast<std::uint32_t>(p.size());
        key.append(reinterpret_cast<const char*>(&n), sizeof n);
        key.append(p);
    }
    return key;
}

}  // namespace

void LogIndex::Add(const CInfo& r) {
    ++qsos_[Key({r.call, r.band, r.mode})];
    ++callsOnBand_[Key({r.call, r.band})];
    ++prefixesOnBand_[Key({r.band, r.nordicPrefix})];
    ++size_;
}

void LogIndex::Remove(const CInfo& r) {
    Decrement(qsos_, Key({r.call, r.band, r.mode}));
    Decrement(callsOnBand_, Key({r.call, r.band}));
    Decrement(prefixesOnBand_, Key({r.band, r.nordicPrefix}));
    if (size_ > 0) --size_;
}

void LogIndex::Clear() {
    // Fresh maps rather than clear(): a reset after a large log gives the memory back.
    qsos_ = Counts();
    callsOnBand_ = Counts();
    prefixesOnBand_ = Counts();
    size_ = 0;
}

void LogIndex::Decrement(Counts& counts, const std::string& key) {
    auto it = counts.find(key);
    if (it == counts.end()) return;
    if (--it->second == 0) counts.erase(it);
}

bool LogIndex::HasQso(std::string_view call, std::string_view band, std::string_view mode) const {
    return Has(qsos_, Key({call, band, mode}));
}

bool LogIndex::HasCallOnBand(std::string_view call, std::string_view band) const {
    return Has(callsOnBand_, Key({call, band}));
}

bool LogIndex::HasPrefixOnBand(std::string_view band, std::string_view nordicPrefix) const {
    return Has(prefixesOnBand_, Key({band, nordicPrefix}));
}
