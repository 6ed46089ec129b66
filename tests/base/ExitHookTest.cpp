// The exit hook runs before the statics of what was loaded after it was installed, and runs once.
#include "base/ExitHook.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Stands for a library loaded after start-up: its statics are constructed after the hook was
// installed, which puts their destruction ahead of the hook's first registration.
struct LateStatic {
    ~LateStatic() { std::fputs("late static destroyed\n", stderr); }
};

void ExitAfterALateStatic(bool renew)
{
    ExitHook::Install([] { std::fputs("hook ran\n", stderr); });
    static LateStatic late;
    if (renew)
        ExitHook::Renew();
    std::exit(0);
}

}  // namespace

TEST(ExitHook, RunsOnceAndBeforeTheStaticsOfWhatWasLoadedLater)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ExitAfterALateStatic(true), ::testing::ExitedWithCode(0), "^hook ran\nlate static destroyed\n$");
    // Without the renewal the hook would come too late: what the test above guards against.
    EXPECT_EXIT(ExitAfterALateStatic(false), ::testing::ExitedWithCode(0), "^late static destroyed\nhook ran\n$");
}
