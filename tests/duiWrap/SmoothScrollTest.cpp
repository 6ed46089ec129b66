#include "duiWrap/SmoothScroll.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Glide(SmoothScroll& scroll, bool atTop = false, bool atEnd = false)
{
    std::vector<int> moves;
    for (int guard = 0; guard < 200; ++guard) {
        const int move = scroll.Step(atTop, atEnd);
        if (move == 0)
            break;
        moves.push_back(move);
    }
    return moves;
}

TEST(SmoothScroll, OneWheelStepGlidesNineteenPixels)
{
    SmoothScroll down;
    down.Wheel(false);
    EXPECT_EQ(Glide(down), (std::vector<int>{6, 5, 3, 2, 2, 1}));
    EXPECT_FALSE(down.Gliding());

    SmoothScroll up;
    up.Wheel(true);
    EXPECT_EQ(Glide(up), (std::vector<int>{-6, -5, -3, -2, -2, -1}));
}

TEST(SmoothScroll, StopsAtTheEdgeItMovesTowards)
{
    SmoothScroll up;
    up.Wheel(true);
    EXPECT_TRUE(Glide(up, /*atTop=*/true).empty());
    SmoothScroll down;
    down.Wheel(false);
    EXPECT_TRUE(Glide(down, false, /*atEnd=*/true).empty());
}

TEST(SmoothScroll, WheelStepsAddUpToAtMostOneHundredPixels)
{
    SmoothScroll scroll;
    for (int i = 0; i < 40; ++i)
        scroll.Wheel(false);
    const std::vector<int> moves = Glide(scroll);
    ASSERT_FALSE(moves.empty());
    EXPECT_LE(moves.front(), 100);
    // 5 * floor(sqrt(100)) = 50 steps planned; the first move is (49/50)^2 * 100.
    EXPECT_EQ(moves.front(), 96);

    // Reversing during a glide starts from the remaining speed plus 12.
    SmoothScroll reverse;
    reverse.Wheel(false);
    reverse.Step(false, false);  // left 9 of 10: current move 6 down
    reverse.Wheel(true);         // delta = (9/10)^2 * -8 truncated (-6) + 12 = 6
    EXPECT_EQ(Glide(reverse).front(), -4);  // 10 steps again: (9/10)^2 * 6
}

}  // namespace
