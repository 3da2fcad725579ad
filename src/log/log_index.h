// LogIndex: how many stored QSOs share each key the dupe test and the call check
// look up, so that neither has to walk the log. Counts, not positions: removal
// erases from the middle of the log, and every lookup only asks "is there one?".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "log/cinfo.h"

class LogIndex {
public:
    void Add(const CInfo& record);
    void Remove(const CInfo& record);
    void Clear();

    // A stored QSO with this call, band and mode (exact texts): the dupe test.
    bool HasQso(std::string_view call, std::string_view band, std::string_view mode) const;
    // A stored QSO with this call on this band.
    bool HasCallOnBand(std::string_view call, std::string_view band) const;
    // A stored QSO on this band with this worked prefix (empty for non-Nordic-Baltic).
    bool HasPrefixOnBand(std::string_view band, std::string_view nordicPrefix) const;

    std::size_t size() const { return size_; }

private:
    using Counts = std::unordered_map<std::string, std::size_t>;
    static void Decrement(Counts& counts, const std::string& key);
    static bool Has(const Counts& counts, const std::string& key) { return counts.find(key) != counts.end(); }

    Counts qsos_;
    Counts callsOnBand_;
    Counts prefixesOnBand_;
    std::size_t size_ = 0;
};
