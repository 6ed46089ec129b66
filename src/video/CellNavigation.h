#pragma once

#include "video/WallLayout.h"

#include <vector>

// Where the arrow keys move the selection on the wall: to the nearest shown cell in that direction
// that lies beside the current one (sharing rows for left and right, columns for up and down). Works
// on the rectangles of any arrangement, large cells included. Pure geometry, no window.
class CellNavigation {
public:
    enum class Direction { Left, Right, Up, Down };

    // The cell to select from `from` among `shown` (an arrangement of WallLayout::Arrange). A cell
    // that is not shown (or -1) moves to the first shown cell; at the edge the selection stays.
    // -1 when nothing is shown.
    static int Neighbour(const std::vector<CellRect>& shown, int from, Direction direction);
};
