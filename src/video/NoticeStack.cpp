#include "video/NoticeStack.h"

#include <algorithm>

namespace {

bool Overlap(const NoticeStack::Rect& a, const NoticeStack::Rect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

}  // namespace

NoticeStack::Rect NoticeStack::Place(const Rect& area, int width, int height, const std::vector<Rect>& open)
{
    const int right = area.x + area.width - kMargin;
    const int bottom = area.y + area.height - kMargin;
    const Rect corner{right - width, bottom - height, width, height};
    Rect at = corner;
    while (at.x >= area.x + kMargin) {
        // The next column starts left of everything met in this one: notices differ in width (their
        // file names do), so the new notice's own width is no measure of the column.
        int columnLeft = at.x;
        for (at.y = corner.y; at.y >= area.y + kMargin;) {
            // Move above the highest notice in the way (keeping the gap), until nothing is.
            const Rect* blocker = nullptr;
            for (const Rect& other : open) {
                const Rect padded{other.x - kGap, other.y - kGap, other.width + 2 * kGap, other.height + 2 * kGap};
                if (Overlap(at, padded) && (blocker == nullptr || other.y < blocker->y))
                    blocker = &other;
            }
            if (blocker == nullptr)
                return at;
            columnLeft = std::min(columnLeft, blocker->x);
            at.y = blocker->y - kGap - height;
        }
        at.x = columnLeft - kGap - width;
    }
    return corner;
}
