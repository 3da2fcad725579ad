#include "call_distance.h"

#include <algorithm>
#include <vector>

#include "logs/rtty_shift.h"

namespace {

// At most one edit between the two texts.
bool OneEditApart(std::string_view a, std::string_view b) {
    if (a.size() > b.size()) std::swap(a, b);
    if (b.size() - a.size() > 1) return false;
    std::size_t i = 0;
    while (i < a.size() && a[i] == b[i]) ++i;
    if (a.size() == b.size()) return a.substr(i + 1) == b.substr(i + 1);
    return a.substr(i) == b.substr(i + 1);
}

// Characters changed, added or dropped between the two texts (Levenshtein).
int Edits(std::string_view a, std::string_view b) {
    std::vector<int> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const int up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = up;
        }
    }
    return row[b.size()];
}

}  // namespace

CallDistance Distance(std::string_view logged, std::string_view call) {
    if (logged == call) return {};
    if (IsShiftMisprint(logged, call)) {
        int changed = 0;
        for (std::size_t i = 0; i < call.size(); ++i) changed += logged[i] != call[i];
        return {changed, true};
    }
    return {OneEditApart(logged, call) ? 1 : std::min(Edits(logged, call), 127), false};
}
