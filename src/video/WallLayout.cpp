#include "video/WallLayout.h"

std::vector<CellRect> WallLayout::Arrange(int layoutCount, int selectedCell, int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    switch (layoutCount) {
    case 0:
        if (selectedCell < 0 || selectedCell >= kCellCount)
            return {};
        return {{selectedCell, 0, 0, width, height}};
    case 1:
        return {{0, 0, 0, width, height}};
    case 4:
        return Grid(2, width, height);
    case 9:
        return Grid(3, width, height);
    case 16:
        return Grid(4, width, height);
    case 25:
        return Grid(5, width, height);
    case 36:
        return Grid(6, width, height);
    case 49:
        return Grid(7, width, height);
    case 64:
        return Grid(8, width, height);
    case 6:
    case 8:
    case 14:
    case 17:
        return LargeCells(layoutCount, width, height);
    default:
        return {};
    }
}

bool WallLayout::IsKnownCount(int layoutCount)
{
    switch (layoutCount) {
    case 0: case 1: case 4: case 6: case 8: case 9: case 14: case 16: case 17: case 25: case 36: case 49: case 64:
        return true;
    default:
        return false;
    }
}

std::vector<CellRect> WallLayout::Grid(int n, int width, int height)
{
    const int cw = width / n + 1;
    const int ch = height / n + 1;
    std::vector<CellRect> cells;
    cells.reserve(n * n);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            cells.push_back({r * n + c, c * cw, r * ch, cw, ch});
    return cells;
}

// One or two large cells and small ones around them; the right column and the bottom row take the
// remainder of the integer division so the cells fill the area exactly.
std::vector<CellRect> WallLayout::LargeCells(int layoutCount, int width, int height)
{
    const int n = layoutCount == 6 ? 3 : layoutCount == 8 ? 4 : 5;
    const int w = width / n;
    const int h = height / n;
    const int rx = width - n * w;
    const int ry = height - n * h;
    std::vector<CellRect> cells;
    auto add = [&cells](int x, int y, int cw, int ch) {
        cells.push_back({static_cast<int>(cells.size()), x, y, cw, ch});
    };
    switch (layoutCount) {
    case 6:
        add(0, 0, 2 * w, 2 * h);
        add(2 * w, 0, w + rx, h);
        add(2 * w, h, w + rx, h);
        add(0, 2 * h, w, h + ry);
        add(w, 2 * h, w, h + ry);
        add(2 * w, 2 * h, w + rx, h + ry);
        break;
    case 8:
        add(0, 0, 3 * w, 3 * h);
        for (int i = 0; i < 3; ++i)
            add(3 * w, i * h, w + rx, h);
        for (int i = 0; i < 3; ++i)
            add(i * w, 3 * h, w, h + ry);
        add(3 * w, 3 * h, w + rx, h + ry);
        break;
    case 14:
        add(0, 0, 3 * w, 3 * h);
        for (int i = 0; i < 3; ++i)
            add(3 * w, i * h, w, h);
        for (int i = 0; i < 3; ++i)
            add(4 * w, i * h, w + rx, h);
        for (int i = 0; i < 3; ++i)
            add(i * w, 3 * h, w, h);
        for (int i = 0; i < 3; ++i)
            add(i * w, 4 * h, w, h + ry);
        add(3 * w, 3 * h, 2 * w + rx, 2 * h + ry);
        break;
    default:  // 17: a large centre cell with small ones on its four sides
        add(w, h, 3 * w, 3 * h);
        for (int i = 0; i < 4; ++i)
            add(i * w, 0, w, h);
        for (int i = 1; i < 4; ++i)
            add(0, i * h, w, h);
        for (int i = 0; i < 4; ++i)
            add(4 * w, i * h, w + rx, h);
        for (int i = 0; i < 4; ++i)
            add(i * w, 4 * h, w, h + ry);
        add(4 * w, 4 * h, w + rx, h + ry);
        break;
    }
    return cells;
}
