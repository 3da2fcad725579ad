// LogIndex: how many stored QSOs share each key the dupe test and the call check
// look up, so that neither has to walk the log. Counts, not positions: removal
// erases from the middle of the log, and every lookup only asks "is there one?".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/cinfo.h"

class LogIndex {
public:
    // Counts the record in; true when a QSO with its call, band and mode was
    // already stored (the dupe test, in the same lookup).
    bool Add(const CInfo& record);
    void Remove(const CInfo& record);
    void Clear();
    // Room for this many records without regrowing, as a replay after a reset needs.
    void Reserve(std::size_t records);

    // A stored QSO with this call on this band.
    bool HasCallOnBand(std::string_view call, std::string_view band) const;
    // A stored QSO on this band with this worked prefix (empty for non-Nordic-Baltic).
    bool HasPrefixOnBand(std::string_view band, std::string_view nordicPrefix) const;

    std::size_t size() const { return size_; }

private:
    // QSOs of one call on one band, in all and in the mode they were first stored
    // in; any other mode's QSOs are counted in otherModes_. A slot of an open
    // addressing table, so that the dupe test of a large log costs one cache miss
    // rather than a chain of them; a free slot has a count of 0.
    struct CallOnBand {
        std::string key;
        std::uint32_t hash = 0;
        std::uint32_t count = 0;
        std::uint32_t modeCount = 0;
        std::uint32_t mode = 0;  // in modes_
    };

    std::size_t Find(std::string_view key, std::uint32_t hash) const;  // the slot, or a free one
    void Grow(std::size_t slots);
    void EraseAt(std::size_t slot);
    std::uint32_t ModeId(std::string_view mode);

    std::vector<CallOnBand> callsOnBand_;
    std::size_t callsUsed_ = 0;
    std::vector<std::string> modes_;  // the exact mode texts seen: a handful
    std::unordered_map<std::string, std::size_t> otherModes_;  // call, band and mode
    std::unordered_map<std::string, std::size_t> prefixesOnBand_;
    std::size_t size_ = 0;
};
