#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "race/race_extent.h"

namespace keelrun {
namespace {

RaceState raceWithTrack(std::initializer_list<TrackSample> samples)
{
    RaceState race;
    race.boatCount = 1;
    race.windowStart = -190;
    race.windowEnd = 1000;
    for (const TrackSample &s : samples)
        race.boats[1].samples.push_back(s);
    return race;
}

TEST(RaceExtent, RaceExtentHasAMarginAndEqualGroundSpans)
{
    const RaceState race = raceWithTrack({{-500, 50, 50}, {0, 2100, 8000}, {500, 2101, 8004}, {1001, 0, 0}});
    const RaceExtent e = computeRaceExtent(race);
    EXPECT_EQ(e.maxLat, 2101);
    EXPECT_EQ(e.minLat, 2100);
    EXPECT_EQ(e.minLon, 8000);
    EXPECT_DOUBLE_EQ(e.centreLat, 2100.5);
    EXPECT_NEAR(e.cosLat, std::cos(2100.5 / 60 * std::numbers::pi / 180), 1e-12);
    EXPECT_DOUBLE_EQ(e.lonSpan, 4.8);
    EXPECT_DOUBLE_EQ(e.latSpan, 4.8 * e.cosLat);
}

}  // namespace
}  // namespace keelrun
