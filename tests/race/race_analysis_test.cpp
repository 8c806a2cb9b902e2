// The start, course progress, legs and polars of races sailed on paper: a
// start line east-west on the equator, a mark a mile north of its middle,
// and boats sailing straight at steady speeds.

#include <gtest/gtest.h>

#include <cmath>

#include "race/course_progress.h"
#include "race/fleet_polars.h"
#include "race/leg_analysis.h"
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

TEST(CourseMadeGood, LegsDoneAndTheWayAlongTheLegBeingSailed)
{
    RaceState race = paperRace();
    BoatEntry &boat = race.boats[1];
    // Up the middle of the course and a little past the mark's beam before
    // going round it, then back down to the line.
    sailTo(boat, 0, {0, 0.1}, 500, {1.02, 0.1});
    sailTo(boat, 500, {1.02, 0.1}, 520, {1, 0.1});
    sailTo(boat, 520, {1, 0.1}, 900, {0, 0.1});
    boat.roundingTime[1] = 0;
    boat.roundingTime[2] = 520;
    boat.roundingTime[3] = 900;
    const CourseMadeGood madeGood(race);
    const LegTables &legs = race.legs;
    const CourseVector up = unitVector(legs.legBearing[1]);
    EXPECT_FALSE(madeGood.at(boat, -10)) << "before its start";
    // Along the first leg, from end 1 of the line.
    EXPECT_NEAR(*madeGood.at(boat, 250), (0.51 * up.north + 0.1 * up.east) * kMetresPerMinute, 1e-6);
    EXPECT_EQ(*madeGood.at(boat, 510), legs.legLength[1]) << "past the mark's beam, kept to the leg's end";
    EXPECT_NEAR(*madeGood.at(boat, 615), legs.legLength[1] + 0.25 * kMetresPerMinute, 1e-6);
    EXPECT_EQ(*madeGood.at(boat, 2000), madeGood.courseLength()) << "a finisher, its track long ended";
    EXPECT_EQ(madeGood.courseLength(), legs.legLength[1] + legs.legLength[2]);
    EXPECT_EQ(*madeGood.levelAt(2), legs.legLength[1]);
    EXPECT_EQ(madeGood.itemEnding(legs.legLength[1]), 2);
    EXPECT_FALSE(madeGood.itemEnding(1000));
}

TEST(CourseProgress, TheLeaderAndTheGapsBehindIt)
{
    RaceState race = paperRace();
    race.boatCount = 2;
    race.boats[1] = straightBoat(0, 500, 900);
    race.boats[2] = straightBoat(0, 600, 1000);  // the same course, slower by a fifth on each leg
    race.results.firstPassTime[3] = 900;
    const CourseProgress p = courseProgress(race, 10);
    const std::size_t at400 = 40, end = p.times.size() - 1;
    EXPECT_EQ(p.leader[at400], 1);
    EXPECT_NEAR(p.boats[2][at400].gapSeconds, 400 - 400 * 500.0 / 600, 0.5);
    EXPECT_NEAR(p.boats[2][at400].gapMetres, p.boats[1][at400].metres - p.boats[2][at400].metres, 1e-9);
    EXPECT_EQ(p.boats[1][at400].gapSeconds, 0);
    EXPECT_NEAR(p.boats[2][60].gapSeconds, 100, 1e-9) << "going round the mark a hundred seconds after";
    EXPECT_EQ(p.boats[2][end].gapSeconds, 100);
    EXPECT_EQ(p.leader[end], 1);
}

TEST(LegAnalysis, TimesDistancesTurnsAndPlaces)
{
    RaceState race = paperRace();
    race.boatCount = 2;
    race.boats[1] = straightBoat(5, 500, 950);
    race.boats[2] = straightBoat(10, 520, 900);
    race.boats[1].manoeuvres = {{100, Manoeuvre::Tack, false, 0, 0, 0, 0, 8, 10, 3},
                                {498, Manoeuvre::Tack, true, 0, 0, 0, 0, 8, 90, 50},
                                {700, Manoeuvre::Gybe, false, 0, 0, 0, 0, 8, 5, 2}};
    const auto legs = analyseLegs(race, FleetFixes(race.boatCount + 1), FleetPolar{});
    const LegResult &up = legs[1][1], &down = legs[1][2];
    ASSERT_TRUE(up.sailed && down.sailed);
    EXPECT_EQ(up.seconds, 495) << "from its own start";
    const double sailed = std::hypot(1, 0.05) * kMetresPerMinute;
    EXPECT_NEAR(up.sailedMetres, sailed, 0.5);
    EXPECT_NEAR(*up.efficiency, race.legs.legLength[1] / sailed, 1e-3);
    EXPECT_NEAR(up.vmgKnots, std::cos(std::atan(0.05) - std::atan(0.1)) * sailed / 495 * 3600 / kMetresPerMinute, 1e-3);
    EXPECT_EQ(up.tacks, 2);
    EXPECT_EQ(up.manoeuvreSeconds, 3) << "the rounding's turn is counted, not its loss";
    EXPECT_EQ(down.gybes, 1);
    EXPECT_EQ(up.place, 1);
    EXPECT_EQ(up.placesGained, 0);
    EXPECT_EQ(down.place, 2);
    EXPECT_EQ(down.placesGained, -1);
    EXPECT_EQ(legs[2][2].placesGained, 1);
    EXPECT_FALSE(up.targetShare) << "no polar";
}

// Two boats reaching east and west across a north wind, the second a knot
// faster, then the second's tack: its turn and the minute about its
// roundings are no steady sailing.
TEST(FleetPolar, TheQuickestOfTheFleetAtEachAngle)
{
    RaceState race = paperRace();
    race.boatCount = 2;
    for (int b = 1; b <= 2; ++b) {
        BoatEntry &boat = race.boats[b];
        const double knots = 5 + b - 1, minutes = knots * 600 / 3600;
        sailTo(boat, 0, {0.5, 0}, 600, {0.5, b == 1 ? minutes : -minutes});
        boat.roundingTime[1] = 0;
        boat.roundingTime[2] = 600;
    }
    race.boats[2].manoeuvres = {{300, Manoeuvre::Tack, false, 0, 0, 0, 0, 10, 0, 0}};
    const FleetPolar polar = fleetPolar(race);
    EXPECT_FALSE(polar.windFromRecords);
    ASSERT_EQ(polar.bins.size(), 1u);
    EXPECT_EQ(polar.bins[0].twaFrom, 90);
    EXPECT_FALSE(polar.bins[0].twsFrom);
    // 478 steady seconds of the first, 418 of the second (its tack's 30 s either side left out).
    EXPECT_EQ(polar.bins[0].fixes, 479 + 418);
    EXPECT_NEAR(*polar.targetFor(92, std::nullopt), 6, 1e-6);
    EXPECT_FALSE(polar.targetFor(97, std::nullopt));

    race.windSamples = {{}, {0, 9, 0}, {600, 13, 0}};
    race.maxWindSpeed = 13;
    const FleetPolar banded = fleetPolar(race);
    EXPECT_TRUE(banded.windFromRecords && banded.bandsByWindSpeed);
    ASSERT_EQ(banded.bins.size(), 2u);
    EXPECT_EQ(banded.bins[0].twsFrom, 8);
    EXPECT_EQ(banded.bins[1].twsFrom, 12);
}

}  // namespace
}  // namespace keelrun
