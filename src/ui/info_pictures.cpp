#include "ui/info_pictures.h"

#include <algorithm>

#include "ui/dpi_scale.h"

namespace {

constexpr int kColumnWidth = 40;
constexpr int kLineHeight = 15;
constexpr int kFirstColumn = 5;
constexpr int kTableLines = 7;

DrawStep Fill(const Rect& area, Colour colour) { return {DrawStep::Kind::fill, area, colour, {}, {}}; }
DrawStep Text(int x, int y, std::string text) { return {DrawStep::Kind::text, {}, 0, {x, y}, std::move(text)}; }

Picture ListView(WindowShared& shared, const WindowState& ws, const Rect& item, int dpi,
                 PerBandLists WindowShared::*lists) {
    Picture picture{Fill(item, kListBackground)};
    if (ws.bandIndex < 0 || ws.bandIndex >= kBandCount) return picture;
    MutexLock lock(shared.lock);
    TextList& list = (shared.*lists)[static_cast<std::size_t>(ws.bandIndex)];
    SortBytewise(list);
    const std::vector<Point> grid = ListGrid(list.size(), item.right, dpi);
    for (std::size_t i = 0; i < list.size(); ++i) picture.push_back(Text(grid[i].x, grid[i].y, list[i]));
    return picture;
}

// The line height follows the button, which the dialog manager sizes with the
// window; every other length is the 96-DPI layout scaled.
Picture PreviousQsoTable(WindowShared& shared, const WindowState& ws, const Rect& item, int dpi) {
    const auto s = [dpi](int length) { return ScaleToDpi(length, dpi); };
    Picture picture{Fill(item, kTableBackground)};
    const int h = TableLineHeight(item);
    if (ws.bandIndex >= 0)
        picture.push_back(Fill({0, (ws.bandIndex + 1) * h - s(5), item.right, (ws.bandIndex + 2) * h - s(13)},
                               kCurrentBandBar));
    picture.push_back(Text(s(20), s(18), "Band"));
    picture.push_back(Text(s(100), s(18), "Mode"));
    picture.push_back(Text(s(160), 0, ws.currentCall));
    picture.push_back(Text(s(178), s(18), "Time"));
    picture.push_back(Text(s(263), s(18), "NR"));

    // The 160 m row has no line of its own: the heading takes its place.
    constexpr int kColumns[] = {20, 100, 180, 260};
    MutexLock lock(shared.lock);
    for (int k = 1; k < kBandCount; ++k) {
        const TextList& row = shared.bandRows[static_cast<std::size_t>(k)];
        for (std::size_t c = 0; c < std::size(kColumns) && c < row.size(); ++c)
            picture.push_back(Text(s(kColumns[c]), s(20) + k * h, row[c]));
    }
    return picture;
}

}  // namespace

void SortBytewise(TextList& list) {
    // std::string compares as unsigned bytes, the way the multibyte compare does.
    std::sort(list.begin(), list.end());
}

std::vector<Point> ListGrid(std::size_t count, int right, int dpi) {
    const int first = ScaleToDpi(kFirstColumn, dpi), column = ScaleToDpi(kColumnWidth, dpi),
              line = ScaleToDpi(kLineHeight, dpi);
    std::vector<Point> grid;
    grid.reserve(count);
    int x = first, y = 0;
    for (std::size_t i = 0; i < count; ++i) {
        grid.push_back({x, y});
        x += column;
        if (x > right - column) {
            y += line;
            x = first;
        }
    }
    return grid;
}

int TableLineHeight(const Rect& item) { return item.bottom / kTableLines; }

Picture PaintMultiplierButton(WindowShared& shared, const WindowState& ws, const Rect& item, int dpi) {
    return ListView(shared, ws, item, dpi, &WindowShared::multExchByBand);
}

Picture PaintPrefixButton(WindowShared& shared, const WindowState& ws, const Rect& item, int dpi) {
    if (!ws.currentCall.empty()) return PreviousQsoTable(shared, ws, item, dpi);
    return ListView(shared, ws, item, dpi, &WindowShared::nordicByBand);
}
