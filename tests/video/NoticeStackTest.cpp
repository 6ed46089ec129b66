#include "video/NoticeStack.h"

#include <gtest/gtest.h>

namespace {

using Rect = NoticeStack::Rect;

bool Overlap(const Rect& a, const Rect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool Inside(const Rect& r, const Rect& area)
{
    return r.x >= area.x && r.y >= area.y && r.x + r.width <= area.x + area.width && r.y + r.height <= area.y + area.height;
}

TEST(NoticeStack, FirstNoticeSitsInTheLowerRightCornerTenPixelsIn)
{
    EXPECT_EQ((Rect{1290, 780, 300, 110}), NoticeStack::Place({0, 0, 1600, 900}, 300, 110, {}));
    EXPECT_EQ((Rect{1152, 640, 300, 110}), NoticeStack::Place({160, 50, 1302, 710}, 300, 110, {}));
}

// Notices opened one after another, none closed: each one is inside the area and clear of all the
// others, until the area is full; then the corner again. Notices differ in width (a tip is as wide as
// its file name), so each run also takes them in turn wide and narrow, and narrow first.
TEST(NoticeStack, OpenNoticesNeverOverlapUntilTheAreaIsFull)
{
    const std::vector<std::vector<int>> widthRuns = {{300}, {325, 325, 312}, {312, 325}};
    for (const std::vector<int>& widths : widthRuns) {
        for (const Rect area : {Rect{0, 0, 1600, 900}, Rect{160, 50, 1101, 703}, Rect{0, 0, 350, 400}}) {
            SCOPED_TRACE(testing::Message() << "first width " << widths[0] << ", area " << area.width << "x" << area.height);
            std::vector<Rect> open;
            for (size_t i = 0; i < 40; ++i) {
                const int width = widths[i % widths.size()];
                const Rect at = NoticeStack::Place(area, width, 110, open);
                ASSERT_TRUE(Inside(at, area)) << "notice " << i;
                bool clear = true;
                for (const Rect& other : open)
                    clear = clear && !Overlap(at, other);
                if (!clear) {
                    EXPECT_EQ(NoticeStack::Place(area, width, 110, {}), at) << "a full area puts it in the corner";
                    EXPECT_GE(open.size(), static_cast<size_t>((area.height - 10) / 116 * ((area.width - 10) / 331)));
                    break;
                }
                open.push_back(at);
            }
            EXPECT_GE(open.size(), 2u) << "room for two notices at least in each area";
        }
    }
}

TEST(NoticeStack, AnAreaSmallerThanTheNoticeGivesTheCorner)
{
    EXPECT_EQ((Rect{-190, -20, 300, 110}), NoticeStack::Place({0, 0, 120, 100}, 300, 110, {}));
}

}  // namespace
