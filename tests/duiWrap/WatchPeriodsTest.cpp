// The viewing periods of the sub-account window: which period may join a list, and the service's
// text form both ways.
#include "duiWrap/WatchPeriods.h"

#include <gtest/gtest.h>

namespace {

using Check = WatchPeriods::Check;

struct AddCase {
    const char* start;
    const char* end;
    Check expected;
};

TEST(WatchPeriodsTest, APeriodJoinsOnlyWhenItStartsBeforeItEndsAndOverlapsNone)
{
    const std::vector<WatchPeriods::Period> listed = {{"09:00:00", "10:00:00"}, {"13:00:00", "18:00:00"}};
    const AddCase cases[] = {
        {"10:00:00", "10:00:00", Check::StartNotBeforeEnd},
        {"11:00:00", "10:30:00", Check::StartNotBeforeEnd},
        {"08:00:00", "12:00:00", Check::Overlaps},  // holds a listed period
        {"09:30:00", "09:45:00", Check::Overlaps},  // lies inside one
        {"08:00:00", "09:30:00", Check::Overlaps},  // reaches into one
        {"17:00:00", "19:00:00", Check::Overlaps},  // starts inside one
        {"09:00:00", "10:00:00", Check::Overlaps},  // the same period
        {"10:00:00", "13:00:00", Check::Accepted},  // touches both
        {"00:00:00", "09:00:00", Check::Accepted},
        {"18:00:00", "23:59:59", Check::Accepted},
    };
    for (const AddCase& c : cases)
        EXPECT_EQ(WatchPeriods::CanAdd(listed, c.start, c.end), c.expected) << c.start << "-" << c.end;
    EXPECT_EQ(WatchPeriods::CanAdd({}, "00:00:00", "23:59:59"), Check::Accepted);
}

TEST(WatchPeriodsTest, TextFormRoundTripsAndNoPeriodIsTheWholeDay)
{
    EXPECT_EQ(WatchPeriods::Join({}), "00:00:00-23:59:59");
    const std::vector<WatchPeriods::Period> two = {{"08:00:00", "12:00:00"}, {"12:00:00", "13:00:00"}};
    EXPECT_EQ(WatchPeriods::Join(two), "08:00:00-12:00:00#12:00:00-13:00:00");
    EXPECT_EQ(WatchPeriods::Split(WatchPeriods::Join(two)), two);
    EXPECT_TRUE(WatchPeriods::Split("").empty());
    // A period without "-" keeps its text as the start; only the first "-" splits.
    EXPECT_EQ(WatchPeriods::Split("08:00:00"), (std::vector<WatchPeriods::Period>{{"08:00:00", ""}}));
    EXPECT_EQ(WatchPeriods::Split("a-b-c"), (std::vector<WatchPeriods::Period>{{"a", "b-c"}}));
}

}  // namespace
