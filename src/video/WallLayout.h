#pragma once

#include <vector>

// The arrangements of the video wall: which cells are shown and where, for a layout count and the
// wall's client size. Pure integer geometry, no window involved, so the wall and its tests share it.
struct CellRect {
    int cell;
    int x;
    int y;
    int width;
    int height;

    bool operator==(const CellRect&) const = default;
};

class WallLayout {
public:
    static constexpr int kCellCount = 64;

    // Cells of `layoutCount` (1, 4, 6, 8, 9, 14, 16, 17, 25, 36, 49, 64, or 0 = `selectedCell` alone)
    // on a client area of width x height, in cell order. Empty for an empty area, an unknown count, or
    // count 0 without a selected cell. Square grids overshoot the right and bottom edge by design
    // (every cell is one pixel wider and taller than the even share); the wall clips them.
    static std::vector<CellRect> Arrange(int layoutCount, int selectedCell, int width, int height);

    // True for the counts the wall knows (0 included).
    static bool IsKnownCount(int layoutCount);

private:
    static std::vector<CellRect> Grid(int n, int width, int height);
    static std::vector<CellRect> LargeCells(int layoutCount, int width, int height);
};
