#include "call_distance.h"

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

}  // namespace

CallDistance Distance(std::string_view logged, std::string_view call) {
    if (logged == call) return {};
    if (IsShiftMisprint(logged, call)) {
        int changed = 0;
        for (std::size_t i = 0; i < call.size(); ++i) changed += logged[i] != call[i];
        return {changed, true};
    }
    return {OneEditApart(logged, call) ? 1 : 2, false};
}
