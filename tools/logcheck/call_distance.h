// How far a logged call lies from a station's own: one character changed, added
// or dropped, or characters printed in the teleprinter's other shift. Portable.
#pragma once

#include <string_view>

struct CallDistance {
    int edits = 0;       // characters changed, added or dropped; 0 for the same call
    bool shift = false;  // the difference is the letters/figures shift alone
};

// The distance, with `shift` preferred where both hold; edits above 1 (and no
// shift) mean "not close".
CallDistance Distance(std::string_view logged, std::string_view call);
inline bool IsClose(const CallDistance& d) { return d.shift || d.edits == 1; }
