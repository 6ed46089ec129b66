#include "WallEnvironment.h"

// gtest_main runs the tests; the environment (application, skin, stream server) is registered here.
static ::testing::Environment* const kWallEnvironment =
    ::testing::AddGlobalTestEnvironment(new walltest::WallEnvironment());
