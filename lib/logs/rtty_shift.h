// The teleprinter's letters/figures shift: a lost or stray shift prints the top
// letters row QWERTYUIOP for the figures 1234567890, and back. Portable.
#pragma once

#include <string>
#include <string_view>

// What the text reads as when it was sent in letters but meant in figures. Empty
// unless that gives four digits.
std::string FiguresReading(std::string_view exchange);

// The character the other shift prints for `c` (Q for 1, 1 for Q); 0 when none.
char ShiftTwin(char c);

// True when `printed` is `meant` with one or more characters printed in the
// other shift, and nothing else changed.
bool IsShiftMisprint(std::string_view printed, std::string_view meant);
