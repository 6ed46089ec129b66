#include "WallEnvironment.h"

// gtest_main runs the tests; the environment (application, skin, stream server) is registered here.
static ::testing::Environment* const kWallEnvironment =
    ::testing::AddGlobalTestEnvironment(new walltest::WallEnvironment());

// Leak checking (AddressSanitizer builds): fontconfig keeps its caches until the process ends, which
// LeakSanitizer reports for every test that draws text; so does libdbus under X. Nothing of ours is
// suppressed.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libdbus-1.so\n";
}
