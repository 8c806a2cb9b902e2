#include <gtest/gtest.h>

#include "race/daylight.h"

namespace keelrun {
namespace {

TEST(Daylight, SunriseFollowsTheZoneMeridian)
{
    RaceState race;
    race.startTime = makeDateTime(2025, 3, 24, 13, 25, 0);  // day 83: sin u = 0
    race.timeDifference = 2;
    RaceExtent e;
    e.centreLon = -19.35;  // Valencia: 30.3 degrees west of the UTC+2 meridian
    const DaylightWindow d = computeDaylight(race, e);
    EXPECT_NEAR(d.sunrise, 21600 + (1800 + 19.35) * 4, 1e-6);
    EXPECT_NEAR(d.sunset, 64800 + (1800 + 19.35) * 4, 1e-6);
    EXPECT_EQ(d.dayOffset, 13 * 3600 + 25 * 60);
}

TEST(Daylight, DawnAndDusk)
{
    const DaylightWindow w{6 * 3600.0, 18 * 3600.0, 11 * 3600.0};
    EXPECT_EQ(daylightAt(12 * 3600.0, w).level, 100);
    EXPECT_FALSE(daylightAt(12 * 3600.0, w).night);
    EXPECT_EQ(daylightAt(2 * 3600.0, w).level, 0);
    EXPECT_TRUE(daylightAt(2 * 3600.0, w).night);
    EXPECT_EQ(daylightAt(6 * 3600.0 + 1800, w).level, 75);
    EXPECT_EQ(daylightAt(18 * 3600.0 - 1200, w).level, 75);
    EXPECT_DOUBLE_EQ(timeOfDay(14 * 3600.0, w), 3600);  // past midnight
}

// A race that starts just after midnight: before the gun it is still the
// evening before, never a negative time of day.
TEST(Daylight, TimeOfDayWrapsRoundMidnight)
{
    const DaylightWindow w{6 * 3600.0, 18 * 3600.0, 120};  // the gun at 00:02
    EXPECT_DOUBLE_EQ(timeOfDay(-300, w), 86400 - 180);
    EXPECT_DOUBLE_EQ(timeOfDay(0, w), 120);
    EXPECT_TRUE(daylightAt(timeOfDay(-300, w), w).night);
    EXPECT_EQ(daylightAt(timeOfDay(-300, w), w).level, 0);
}

}  // namespace
}  // namespace keelrun
