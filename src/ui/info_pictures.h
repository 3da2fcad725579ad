// What the side windows' owner-drawn buttons paint, as a list of fills and texts
// in the button's coordinates. The Win32 buttons only replay it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "contest/contest_state.h"
#include "ui/window_state.h"

using Colour = std::uint32_t;  // 0x00BBGGRR

inline constexpr Colour kListBackground = 0x00C6FAFF;   // pale yellow
inline constexpr Colour kTableBackground = 0x00C6FFFF;  // lighter yellow
inline constexpr Colour kCurrentBandBar = 0x00FFFFC6;   // pale cyan

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

struct DrawStep {
    enum class Kind { fill, text } kind = Kind::fill;
    Rect area;           // fill
    Colour colour = 0;   // fill
    Point at;            // text: top-left corner
    std::string text;    // text, in the host's code page
};

using Picture = std::vector<DrawStep>;

// Ascending by bytes, so "14" comes before "3".
void SortBytewise(TextList& list);

// Where a list view puts each of `count` entries in a button `right` pixels wide:
// 40-pixel columns from x = 5, a new 15-pixel line once x passes right - 40
// (lengths at 96 DPI, scaled to `dpi`).
std::vector<Point> ListGrid(std::size_t count, int right, int dpi);

// Line height of the previous-QSO table: seven lines fill the button.
int TableLineHeight(const Rect& item);

// The buttons are drawn at the DPI of their window: item is in its pixels, and
// so is the picture.

// The multiplier window's button: the exchanges worked on the current band.
// Sorts that list in place (it stays sorted), under shared.lock.
Picture PaintMultiplierButton(WindowShared& shared, const WindowState& ws, const Rect& item, int dpi);

// The worked-prefix window's button: the previous-QSO table while a call is
// entered, otherwise the Nordic-Baltic prefixes worked on the band (sorted in
// place like the multipliers). Takes shared.lock for its reads.
Picture PaintPrefixButton(WindowShared& shared, const WindowState& ws, const Rect& item, int dpi);
