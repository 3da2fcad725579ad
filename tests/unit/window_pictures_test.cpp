// What the side windows' buttons paint: the sorted list views on their grid and
// the previous-QSO table with the bar of the current band.
#include "ui/info_pictures.h"
#include "ui/dpi_scale.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::pair<Point, std::string>> Texts(const Picture& p) {
    std::vector<std::pair<Point, std::string>> out;
    for (const auto& s : p)
        if (s.kind == DrawStep::Kind::text) out.emplace_back(s.at, s.text);
    return out;
}

std::vector<std::pair<Rect, Colour>> Fills(const Picture& p) {
    std::vector<std::pair<Rect, Colour>> out;
    for (const auto& s : p)
        if (s.kind == DrawStep::Kind::fill) out.emplace_back(s.area, s.colour);
    return out;
}

class PicturesTest : public ::testing::Test {
protected:
    ContestState state;
    WindowState ws;
    const Rect item{0, 0, 300, 175};  // a line height of 25

    void SetUp() override {
        for (int i = 0; i < kBandCount; ++i) state.shared.bandRows[i] = {g_bands[i], "   -", "   -", "   -", "   -"};
    }
};

TEST_F(PicturesTest, ListsAreDrawnSortedByBytesAndStaySorted) {
    ws.bandIndex = 3;
    state.shared.nordicByBand[3] = {"OH2", "ES1", "SM5", "LA9"};
    const Picture p = PaintPrefixButton(state.shared, ws, item, 96);
    EXPECT_EQ(Texts(p), (std::vector<std::pair<Point, std::string>>{
                            {{5, 0}, "ES1"}, {{45, 0}, "LA9"}, {{85, 0}, "OH2"}, {{125, 0}, "SM5"}}));
    EXPECT_EQ(state.shared.nordicByBand[3], (TextList{"ES1", "LA9", "OH2", "SM5"}));

    state.shared.multExchByBand[3] = {"3", "14", "\xC0", "0042"};
    PaintMultiplierButton(state.shared, ws, item, 96);
    EXPECT_EQ(state.shared.multExchByBand[3], (TextList{"0042", "14", "3", "\xC0"}));  // high bytes last
}

TEST_F(PicturesTest, TheGridWrapsOncePastTheRightEdgeLessForty) {
    const std::vector<Point> grid = ListGrid(9, 300, 96);
    EXPECT_EQ(grid, (std::vector<Point>{
                        {5, 0}, {45, 0}, {85, 0}, {125, 0}, {165, 0}, {205, 0}, {245, 0}, {5, 15}, {45, 15}}));
    EXPECT_EQ(ListGrid(3, 40, 96), (std::vector<Point>{{5, 0}, {5, 15}, {5, 30}}));  // narrower than a column
}

TEST_F(PicturesTest, TheTableLeavesOutThe160mLineWhereItsBarWouldBe) {
    ws.currentCall = "DL1ABC";
    ws.bandIndex = 0;
    state.shared.nordicByBand[0] = {"OH2"};  // not drawn in this face
    const Picture p = PaintPrefixButton(state.shared, ws, item, 96);
    EXPECT_EQ(Fills(p), (std::vector<std::pair<Rect, Colour>>{{item, kTableBackground},
                                                                {{0, 20, 300, 37}, kCurrentBandBar}}));
    const auto texts = Texts(p);
    ASSERT_EQ(texts.size(), 5u + 5u * 4u);  // the heading, then 80m to 10m
    EXPECT_EQ(texts[2], (std::pair<Point, std::string>{{160, 0}, "DL1ABC"}));
    EXPECT_EQ(texts[5], (std::pair<Point, std::string>{{20, 45}, "80m"}));

    ws.bandIndex = -1;  // before any band: no bar
    EXPECT_EQ(Fills(PaintPrefixButton(state.shared, ws, item, 96)).size(), 1u);
}

// Lengths scale as MulDiv(length, dpi, 96) does, halves away from zero.
TEST_F(PicturesTest, AtOtherDpisTheLayoutIsScaledAndTheLinesFollowTheButton) {
    EXPECT_EQ(ScaleToDpi(5, 144), 8);     // 7.5
    EXPECT_EQ(ScaleToDpi(-5, 144), -8);
    EXPECT_EQ(ScaleToDpi(13, 120), 16);   // 16.25
    EXPECT_EQ(ScaleFromDpi(451, 144), 301);  // 300.67
    EXPECT_EQ(ScaleBetween(7, 3, 0), 7);

    EXPECT_EQ(ListGrid(4, 450, 192), (std::vector<Point>{{10, 0}, {90, 0}, {170, 0}, {250, 0}}));
    EXPECT_EQ(ListGrid(3, 240, 192), (std::vector<Point>{{10, 0}, {90, 0}, {10, 30}}));  // wraps past 240 - 80

    ws.currentCall = "DL1ABC";
    ws.bandIndex = 3;
    const Rect big{0, 0, 508, 259};  // a line height of 37
    const Picture p = PaintPrefixButton(state.shared, ws, big, 144);
    EXPECT_EQ(Fills(p)[1], (std::pair<Rect, Colour>{{0, 4 * 37 - 8, 508, 5 * 37 - 20}, kCurrentBandBar}));
    const auto texts = Texts(p);
    EXPECT_EQ(texts[0], (std::pair<Point, std::string>{{30, 27}, "Band"}));
    EXPECT_EQ(texts[2], (std::pair<Point, std::string>{{240, 0}, "DL1ABC"}));
    EXPECT_EQ(texts[4], (std::pair<Point, std::string>{{395, 27}, "NR"}));  // 394.5
    EXPECT_EQ(texts[5], (std::pair<Point, std::string>{{30, 30 + 37}, "80m"}));
    EXPECT_EQ(texts[8], (std::pair<Point, std::string>{{390, 30 + 37}, "   -"}));
}

}  // namespace
