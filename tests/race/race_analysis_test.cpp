// The start of races sailed on paper: a
// start line east-west on the equator, a mark a mile north of its middle,
// and boats sailing straight at steady speeds.

#include <gtest/gtest.h>

#include <cmath>

#include "race/legs.h"
#include "race/plane.h"
#include "race/start_analysis.h"

namespace keelrun {
namespace {

// Appends fixes a second apart from (lat, lon) at `from` to (lat2, lon2) at
// `to`, minutes of arc, sailing straight at a steady speed.
void sailTo(BoatEntry &boat, double from, GeoPoint a, double to, GeoPoint b)
{
    const double knots = std::hypot(b.lat - a.lat, b.lon - a.lon) * 3600 / (to - from);
    const double heading = bearingOf(b.lon - a.lon, b.lat - a.lat);
    for (double t = from; t < to; t += 1) {
        const double f = (t - from) / (to - from);
        boat.samples.push_back({t, a.lat + f * (b.lat - a.lat), a.lon + f * (b.lon - a.lon), knots, heading});
    }
}

// L1 from (0, 0) to (0, 0.2); MK1 a mile north of its middle; round it and
// back across the line.
RaceState paperRace()
{
    RaceState race;
    race.extent.cosLat = 1;
    race.windDirection = 0;
    race.windowStart = -120;
    race.windowEnd = 1000;
    race.lineCount = 1;
    race.lines[1] = {{0, 0}, {0, 0.2}};
    race.markCount = 1;
    race.marks[1] = {1, 0.1};
    race.course = {"L1", "MK1", "L1"};
    buildLegTables(race);
    return race;
}

// A boat that waits below the line, starts at `start`, goes round MK1 at
// `mark` and finishes at `finish`, with its passings set.
BoatEntry straightBoat(double start, double mark, double finish)
{
    BoatEntry boat;
    sailTo(boat, -120, {-0.02, 0.05}, start, {0, 0.05});
    sailTo(boat, start, {0, 0.05}, mark, {1, 0.1});
    sailTo(boat, mark, {1, 0.1}, finish, {0, 0.1});
    sailTo(boat, finish, {0, 0.1}, finish + 30, {-0.05, 0.1});
    boat.roundingTime[1] = start;
    boat.roundingTime[2] = mark;
    boat.roundingTime[3] = finish;
    return boat;
}

TEST(StartAnalysis, BelowTheLineIsPositiveAndTheLineRunsFromEndOneToEndTwo)
{
    RaceState race = paperRace();
    race.boatCount = 2;
    race.boats[1] = straightBoat(30, 500, 900);  // 7 m below a quarter of the way along at the gun
    BoatEntry &early = race.boats[2];
    sailTo(early, -120, {-0.01, 0.3}, 5, {0.01, 0.3});  // beyond end 2, over the line at the gun
    early.overEarly = true;

    const BoatStart below = analyseStart(race, race.boats[1]);
    EXPECT_NEAR(*below.metresFromLine, (0.02 - 0.02 * 120 / 150) * kMetresPerMinute, 1e-6);
    EXPECT_NEAR(*below.placeAlongLine, 0.25, 1e-9);
    EXPECT_NEAR(*below.knotsAtGun, 0.02 * 3600 / 150, 1e-6);
    EXPECT_EQ(*below.startTime, 30);
    EXPECT_NEAR(below.approach[0]->lat, -0.02 + 0.02 * 60 / 150, 1e-9);

    const BoatStart over = analyseStart(race, early);
    EXPECT_LT(*over.metresFromLine, 0);
    EXPECT_NEAR(*over.placeAlongLine, 1.5, 1e-9);
    EXPECT_TRUE(over.overEarly);
    EXPECT_FALSE(over.startTime);
    EXPECT_FALSE(over.approach[3]) << "its track ends before";

    race.course = {"MK1", "L1"};  // no start line: no place against it
    EXPECT_FALSE(analyseStart(race, race.boats[1]).metresFromLine);
}

}  // namespace
}  // namespace keelrun
