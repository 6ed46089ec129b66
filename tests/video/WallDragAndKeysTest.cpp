// The window-free parts of dragging onto the wall and of its arrow keys: what a drag carries (read
// back from any drop, malformed data refused) and where the arrows move the selection.
#include "video/CellNavigation.h"
#include "video/WallDragItem.h"
#include "video/WallLayout.h"

#include <gtest/gtest.h>

using Direction = CellNavigation::Direction;

TEST(WallDragItem, EveryKindReadsBackAndMalformedDataIsRefused)
{
    for (const WallDragItem& item : {WallDragItem::Camera("kv100101"), WallDragItem::RecentCamera("kv100102"),
                                     WallDragItem::Node("n-17"), WallDragItem::Cell(0x7f00aa10u, 63)}) {
        const auto back = WallDragItem::Decode(item.Encode());
        ASSERT_TRUE(back.has_value()) << item.Encode();
        EXPECT_EQ(item, *back);
    }
    for (const char* bad : {"", "camera", "camera\n", "camera\na\nb", "folder\nx", "cell\n12", "cell\n12\n64",
                            "cell\n12\n-1", "cell\nx\n3", "cell\n12\n3 ", "node\n"})
        EXPECT_FALSE(WallDragItem::Decode(bad).has_value()) << bad;
}

TEST(CellNavigation, ArrowsMoveToTheNeighbourInGridsAndLargeCellLayouts)
{
    // 3 x 3 at 1000 x 600: cells 0 1 2 / 3 4 5 / 6 7 8.
    const auto grid = WallLayout::Arrange(9, -1, 1000, 600);
    EXPECT_EQ(5, CellNavigation::Neighbour(grid, 4, Direction::Right));
    EXPECT_EQ(3, CellNavigation::Neighbour(grid, 4, Direction::Left));
    EXPECT_EQ(1, CellNavigation::Neighbour(grid, 4, Direction::Up));
    EXPECT_EQ(7, CellNavigation::Neighbour(grid, 4, Direction::Down));
    EXPECT_EQ(2, CellNavigation::Neighbour(grid, 2, Direction::Right));  // the edge: the selection stays
    EXPECT_EQ(6, CellNavigation::Neighbour(grid, 6, Direction::Down));

    // 17 cells: the large cell 0 sits in the middle, ringed by 16 small ones.
    const auto ring = WallLayout::Arrange(17, -1, 1000, 1000);
    EXPECT_EQ(0, CellNavigation::Neighbour(ring, 5, Direction::Right));   // left column into the big cell
    EXPECT_EQ(3, CellNavigation::Neighbour(ring, 0, Direction::Up));      // of 2, 3 and 4 above it, the one centred over it
    EXPECT_EQ(8, CellNavigation::Neighbour(ring, 4, Direction::Right));   // top row to the right column
    EXPECT_EQ(16, CellNavigation::Neighbour(ring, 15, Direction::Right));

    // 6 cells: from the big cell 0 right goes to 1 (the nearer of 1 and 2), down to 3.
    const auto six = WallLayout::Arrange(6, -1, 900, 900);
    EXPECT_EQ(1, CellNavigation::Neighbour(six, 0, Direction::Right));
    EXPECT_EQ(3, CellNavigation::Neighbour(six, 0, Direction::Down));
    EXPECT_EQ(0, CellNavigation::Neighbour(six, 4, Direction::Up));
}

TEST(CellNavigation, NoSelectionOrAHiddenOneStartsAtTheFirstShownCell)
{
    const auto four = WallLayout::Arrange(4, -1, 800, 600);
    EXPECT_EQ(0, CellNavigation::Neighbour(four, -1, Direction::Down));
    EXPECT_EQ(0, CellNavigation::Neighbour(four, 12, Direction::Left));
    // Alone in the wall: there is nowhere to go.
    EXPECT_EQ(12, CellNavigation::Neighbour(WallLayout::Arrange(0, 12, 800, 600), 12, Direction::Right));
    EXPECT_EQ(-1, CellNavigation::Neighbour({}, 3, Direction::Up));
}
