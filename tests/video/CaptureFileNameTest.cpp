#include "video/CaptureFileName.h"

#include <gtest/gtest.h>

#include <ctime>

TEST(CaptureFileName, PlainDecimalFieldsJoinedByUnderscore)
{
    struct Case {
        int year, month, day, hour, minute, second, millis;
        const char* extension;
        const char* expected;
    };
    const Case cases[] = {
        {2016, 3, 9, 14, 5, 7, 42, ".flv", "2016_3_9_14_5_7_42.flv"},
        {2016, 12, 31, 0, 0, 0, 0, ".png", "2016_12_31_0_0_0_0.png"},
        {2026, 1, 1, 23, 59, 59, 999, ".flv", "2026_1_1_23_59_59_999.flv"},
    };
    for (const auto& c : cases) {
        std::tm local{};
        local.tm_year = c.year - 1900;
        local.tm_mon = c.month - 1;
        local.tm_mday = c.day;
        local.tm_hour = c.hour;
        local.tm_min = c.minute;
        local.tm_sec = c.second;
        local.tm_isdst = -1;
        const auto when = std::chrono::system_clock::from_time_t(std::mktime(&local)) + std::chrono::milliseconds(c.millis);
        EXPECT_EQ(c.expected, CaptureFileName(c.extension, when));
    }
}
