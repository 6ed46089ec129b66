#include "video/CellNavigation.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// Twice the centre, to stay in integers.
int CentreX(const CellRect& r) { return 2 * r.x + r.width; }
int CentreY(const CellRect& r) { return 2 * r.y + r.height; }

bool Overlap(int a, int aLength, int b, int bLength)
{
    return a < b + bLength && b < a + aLength;
}

}  // namespace

int CellNavigation::Neighbour(const std::vector<CellRect>& shown, int from, Direction direction)
{
    if (shown.empty())
        return -1;
    const auto current = std::find_if(shown.begin(), shown.end(), [from](const CellRect& r) { return r.cell == from; });
    if (current == shown.end())
        return shown.front().cell;
    const bool horizontal = direction == Direction::Left || direction == Direction::Right;
    const int sign = direction == Direction::Right || direction == Direction::Down ? 1 : -1;
    int best = from;
    long bestAhead = LONG_MAX;
    long bestAside = LONG_MAX;
    for (const CellRect& r : shown) {
        if (r.cell == from)
            continue;
        // Square grids overlap their neighbours by a pixel: compare centres, not edges.
        const long ahead = sign * (horizontal ? CentreX(r) - CentreX(*current) : CentreY(r) - CentreY(*current));
        const bool beside = horizontal ? Overlap(r.y, r.height, current->y, current->height)
                                       : Overlap(r.x, r.width, current->x, current->width);
        if (ahead <= 0 || !beside)
            continue;
        const long aside = std::labs(horizontal ? CentreY(r) - CentreY(*current) : CentreX(r) - CentreX(*current));
        if (ahead < bestAhead || (ahead == bestAhead && aside < bestAside)) {
            best = r.cell;
            bestAhead = ahead;
            bestAside = aside;
        }
    }
    return best;
}
