#include "video/WallLayout.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const std::vector<int> kCounts = {1, 4, 6, 8, 9, 14, 16, 17, 25, 36, 49, 64};

}  // namespace

TEST(WallLayout, ThreeByThreeAtWidth1000IsOneWiderThanTheShareAndOvershoots)
{
    const auto cells = WallLayout::Arrange(9, -1, 1000, 600);
    ASSERT_EQ(9u, cells.size());
    for (const auto& c : cells)
        EXPECT_EQ(334, c.width);
    EXPECT_EQ((CellRect{2, 668, 0, 334, 201}), cells[2]);
    EXPECT_EQ(1002, cells[8].x + cells[8].width);
    EXPECT_EQ((CellRect{4, 334, 201, 334, 201}), cells[4]);
}

TEST(WallLayout, SixCellsAt1002x602)
{
    const auto cells = WallLayout::Arrange(6, -1, 1002, 602);
    const std::vector<CellRect> expected = {
        {0, 0, 0, 668, 400},     {1, 668, 0, 334, 200},   {2, 668, 200, 334, 200},
        {3, 0, 400, 334, 202},   {4, 334, 400, 334, 202}, {5, 668, 400, 334, 202},
    };
    EXPECT_EQ(expected, cells);
}

TEST(WallLayout, LargeCellArrangementsTileTheAreaExactly)
{
    // Sizes with and without remainders: the cells must cover every pixel once.
    for (int count : {6, 8, 14, 17}) {
        for (auto [w, h] : {std::pair{1000, 600}, {1003, 607}, {641, 359}, {17, 13}}) {
            const auto cells = WallLayout::Arrange(count, -1, w, h);
            ASSERT_EQ(static_cast<size_t>(count), cells.size()) << count;
            long area = 0;
            for (size_t i = 0; i < cells.size(); ++i) {
                const auto& c = cells[i];
                EXPECT_EQ(static_cast<int>(i), c.cell);
                EXPECT_GE(c.x, 0);
                EXPECT_GE(c.y, 0);
                EXPECT_LE(c.x + c.width, w) << count << " cell " << i;
                EXPECT_LE(c.y + c.height, h) << count << " cell " << i;
                area += static_cast<long>(c.width) * c.height;
                for (size_t j = 0; j < i; ++j) {
                    const auto& o = cells[j];
                    const bool overlap = c.x < o.x + o.width && o.x < c.x + c.width && c.y < o.y + o.height &&
                                         o.y < c.y + c.height;
                    EXPECT_FALSE(overlap) << count << ": cells " << i << " and " << j;
                }
            }
            EXPECT_EQ(static_cast<long>(w) * h, area) << count << " at " << w << "x" << h;
        }
    }
}

TEST(WallLayout, SeventeenHasTheLargeCellInTheCentreAndCornersRight)
{
    const auto cells = WallLayout::Arrange(17, -1, 1003, 607);  // w 200, h 121, rx 3, ry 2
    EXPECT_EQ((CellRect{0, 200, 121, 600, 363}), cells[0]);
    EXPECT_EQ((CellRect{1, 0, 0, 200, 121}), cells[1]);
    EXPECT_EQ((CellRect{7, 0, 363, 200, 121}), cells[7]);
    EXPECT_EQ((CellRect{11, 800, 363, 203, 121}), cells[11]);
    EXPECT_EQ((CellRect{16, 800, 484, 203, 123}), cells[16]);
    const auto fourteen = WallLayout::Arrange(14, -1, 1003, 607);
    EXPECT_EQ((CellRect{13, 600, 363, 403, 244}), fourteen[13]);
}

TEST(WallLayout, SquareGridsPlaceCellsRowByRow)
{
    for (int n = 2; n <= 8; ++n) {
        const auto cells = WallLayout::Arrange(n * n, -1, 1280, 720);
        ASSERT_EQ(static_cast<size_t>(n * n), cells.size());
        const int cw = 1280 / n + 1, ch = 720 / n + 1;
        for (const auto& c : cells) {
            EXPECT_EQ((CellRect{c.cell, (c.cell % n) * cw, (c.cell / n) * ch, cw, ch}), c);
        }
        EXPECT_EQ(n - 1280 % n, cells.back().x + cw - 1280);
    }
}

TEST(WallLayout, SingleSelectedEmptyAndUnknown)
{
    EXPECT_EQ((std::vector<CellRect>{{0, 0, 0, 800, 450}}), WallLayout::Arrange(1, 7, 800, 450));
    EXPECT_EQ((std::vector<CellRect>{{7, 0, 0, 800, 450}}), WallLayout::Arrange(0, 7, 800, 450));
    EXPECT_TRUE(WallLayout::Arrange(0, -1, 800, 450).empty());
    EXPECT_TRUE(WallLayout::Arrange(0, 64, 800, 450).empty());
    EXPECT_TRUE(WallLayout::Arrange(5, 0, 800, 450).empty());
    EXPECT_TRUE(WallLayout::Arrange(65, 0, 800, 450).empty());
    for (int count : kCounts) {
        EXPECT_TRUE(WallLayout::Arrange(count, 0, 0, 450).empty()) << count;
        EXPECT_TRUE(WallLayout::IsKnownCount(count));
        std::set<int> shown;
        for (const auto& c : WallLayout::Arrange(count, 0, 640, 360))
            shown.insert(c.cell);
        EXPECT_EQ(static_cast<size_t>(count), shown.size());
        EXPECT_EQ(count - 1, *shown.rbegin());
    }
    EXPECT_FALSE(WallLayout::IsKnownCount(2));
}
