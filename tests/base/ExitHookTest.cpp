// The exit hook runs once: at exit(), or earlier when a way out known to end in exit() runs it first,
// before the statics made after the hook was installed are destroyed.
#include "base/ExitHook.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Stands for a static an IM library makes on first use, after the hook was installed: exit()
// destroys it before the hook's registration comes round.
struct LateStatic {
    ~LateStatic() { std::fputs("late static destroyed\n", stderr); }
};

void ExitAfterALateStatic(bool runNow)
{
    ExitHook::Install([] { std::fputs("hook ran\n", stderr); });
    static LateStatic late;
    if (runNow)
        ExitHook::RunNow();
    std::exit(0);
}

}  // namespace

TEST(ExitHook, RunsOnceAndBeforeTheLaterStaticsWhenRunAheadOfExit)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ExitAfterALateStatic(true), ::testing::ExitedWithCode(0), "^hook ran\nlate static destroyed\n$");
    // Left to exit() the hook comes after that static: what running it ahead guards against.
    EXPECT_EXIT(ExitAfterALateStatic(false), ::testing::ExitedWithCode(0), "^late static destroyed\nhook ran\n$");
}
