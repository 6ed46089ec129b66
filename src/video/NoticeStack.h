#pragma once

#include <vector>

// Where a new notice (a capture tip) goes: stacked upward from the lower right corner of an area,
// so that several open notices lie side by side instead of on one spot. Pure geometry in screen
// pixels, no window involved.
class NoticeStack {
public:
    struct Rect {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;

        bool operator==(const Rect&) const = default;
    };

    static constexpr int kMargin = 10;  // from the area's edges
    static constexpr int kGap = 6;      // between notices

    // The rectangle of a width x height notice in `area`, given the notices already open: the lowest
    // free place of the rightmost column that has one; a new column starts to the left of a full one.
    // When no place is free (or the area is too small) the lower right corner, as for the first one.
    static Rect Place(const Rect& area, int width, int height, const std::vector<Rect>& open);
};
