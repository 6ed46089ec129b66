#include "base/ReconnectBackoff.h"

#include <gtest/gtest.h>

#include <set>

using Ms = ReconnectBackoff::Ms;

namespace {

// The pause is within the spread around its nominal value and never above the ceiling.
void ExpectNear(Ms pause, Ms nominal, Ms ceiling)
{
    EXPECT_GE(pause.count(), static_cast<Ms::rep>(nominal.count() * 0.9) - 1);
    EXPECT_LE(pause.count(), static_cast<Ms::rep>(nominal.count() * 1.1) + 1);
    EXPECT_LE(pause, ceiling);
}

}  // namespace

TEST(ReconnectBackoff, DoublesFromTheFirstPauseUpToTheCeilingAndStartsOverAfterReset)
{
    ReconnectBackoff backoff(Ms(1000), Ms(30000), 0.1, 7);
    const Ms nominal[] = {Ms(1000), Ms(2000), Ms(4000), Ms(8000), Ms(16000), Ms(30000), Ms(30000), Ms(30000)};
    for (Ms expected : nominal)
        ExpectNear(backoff.Next(), expected, Ms(30000));
    EXPECT_EQ(backoff.Attempts(), 8);

    backoff.Reset();
    EXPECT_EQ(backoff.Attempts(), 0);
    ExpectNear(backoff.Next(), Ms(1000), Ms(30000));
    ExpectNear(backoff.Next(), Ms(2000), Ms(30000));
}

TEST(ReconnectBackoff, PausesAreSpreadSoThatClientsDoNotComeBackTogether)
{
    // Many clients that lost the same server draw different first pauses.
    std::set<Ms::rep> firsts;
    for (unsigned seed = 1; seed <= 20; ++seed)
        firsts.insert(ReconnectBackoff(Ms(1000), Ms(30000), 0.1, seed).Next().count());
    EXPECT_GT(firsts.size(), 10u);

    // Without spread the pauses are exact; at the ceiling the spread only ever shortens them.
    ReconnectBackoff exact(Ms(500), Ms(1500), 0.0);
    EXPECT_EQ(exact.Next(), Ms(500));
    EXPECT_EQ(exact.Next(), Ms(1000));
    EXPECT_EQ(exact.Next(), Ms(1500));
    ReconnectBackoff capped(Ms(1000), Ms(1000), 0.5, 3);
    for (int i = 0; i < 50; ++i) {
        const Ms pause = capped.Next();
        EXPECT_LE(pause, Ms(1000));
        EXPECT_GE(pause, Ms(500));
    }
}
