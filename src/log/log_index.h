// LogIndex: how many stored QSOs share each key the dupe test and the call check
// look up, so that neither has to walk the log. Counts, not positions: removal
// erases from the middle of the log, and every lookup only asks "is there one?".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "log/cinfo.h"

class LogIndex {
public:
    // Counts the record in; true when a QSO with its call, band and mode was
    // already stored (the dupe test, in the same lookup).
    bool Add(const CInfo& record);
    void Remove(const CInfo& record);
    void Clear();

    // A stored QSO with this call on this band.
    bool HasCallOnBand(std::string_view call, std::string_view band) const;
    // A stored QSO on this band with this worked prefix (empty for non-Nordic-Baltic).
    bool HasPrefixOnBand(std::string_view band, std::string_view nordicPrefix) const;

    std::size_t size() const { return size_; }

private:
    // QSOs of one call on one band, in all and by exact mode text. Nearly always
    // one mode: it is held in place, any others beside it.
    struct CallOnBand {
        std::size_t count = 0;
        std::string mode;
        std::size_t modeCount = 0;
        std::vector<std::pair<std::string, std::size_t>> otherModes;

        std::size_t* CountOf(std::string_view text);
    };

    std::unordered_map<std::string, CallOnBand> callsOnBand_;
    std::unordered_map<std::string, std::size_t> prefixesOnBand_;
    std::size_t size_ = 0;
};
