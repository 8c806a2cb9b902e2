#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "race/legs.h"

namespace keelrun {
namespace {

TEST(Legs, KindAgainstTheMeanWind)
{
    EXPECT_EQ(legKindOf(200, 0, 200), Upwind);
    EXPECT_EQ(legKindOf(20, 0, 200), Downwind);
    EXPECT_EQ(legKindOf(245, 0, 200), Reach);  // exactly 45 degrees off
    EXPECT_EQ(legKindOf(335, 0, 200), Reach);  // exactly 135
    EXPECT_EQ(legKindOf(244, 0, 200), Upwind);
    EXPECT_EQ(legKindOf(336, 0, 200), Downwind);
    EXPECT_EQ(legKindOf(10, 7, 350), Upwind);  // magnetic variation, across north
}

// Start line L1 east-west across longitude 0..0.2 at the equator; MK1
// 1 minute north of the line's first end, MK2 half way back.
class LegTablesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        race.extent.cosLat = 1;
        race.windDirection = 0;
        race.lineCount = 1;
        race.lines[1] = {{0, 0}, {0, 0.2}};
        race.markCount = 2;
        race.marks[1] = {1, 0};
        race.marks[2] = {0.5, 0.1};
        race.course = {"L1", "MK1", "MK2", "L1"};
        race.boatCount = 1;
        BoatEntry &b = race.boats[1];
        b.roundingTime[1] = 4;
        b.roundingTime[2] = 400;
        b.roundingTime[3] = 700;
        b.roundingTime[4] = 710;
        b.legDistance[1] = 2000;
        b.legDistance[2] = 1900;
        b.legDistance[3] = 100;
    }
    RaceState race;
};

TEST_F(LegTablesTest, BearingsLengthsKindsAndPoints)
{
    buildLegTables(race);
    const LegTables &l = race.legs;
    EXPECT_DOUBLE_EQ(l.legBearing[1], 0);  // from the line's end 1 to MK1
    EXPECT_DOUBLE_EQ(l.legLength[1], 1852);
    EXPECT_EQ(l.legKind[1], Upwind);
    EXPECT_NEAR(l.legBearing[2], 180 - std::atan(0.1 / 0.5) * 180 / std::numbers::pi, 1e-9);
    EXPECT_EQ(l.legKind[2], Downwind);
    EXPECT_DOUBLE_EQ(l.legBearing[3], 180);  // MK2 to the middle of the line
    EXPECT_NEAR(l.legLength[4], l.legLength[1] + l.legLength[2] + l.legLength[3], 1e-9);
    EXPECT_DOUBLE_EQ(l.coursePoint[1].lon, 0.1);
    EXPECT_DOUBLE_EQ(l.coursePoint[2].lat, 1);
}

TEST_F(LegTablesTest, TurnBisectorPointsOutsideTheTurn)
{
    race.marks[2] = {0, 0};  // back down the same way
    buildLegTables(race);
    // Up north, then back south: the outside of the turn at MK1 is north.
    EXPECT_DOUBLE_EQ(race.legs.turnBisector[1], 360);
}

TEST_F(LegTablesTest, UpwindAndDownwindSumsTimeTheFirstLegFromTheGun)
{
    buildLegTables(race);
    const BoatEntry &b = race.boats[1];
    EXPECT_EQ(b.upwindTime, 400);
    EXPECT_DOUBLE_EQ(b.upwindDistance, 2000 / 1852.0);
    EXPECT_EQ(b.downwindTime, 310);
    EXPECT_DOUBLE_EQ(b.downwindDistance, 2000 / 1852.0);
}

// A boat that missed an end of any leg of a kind has no figures of that
// kind: neither 10 000 000 s added on one leg and taken off on the next,
// nor a part of the legs that set against the whole course looks fast.
TEST_F(LegTablesTest, AKindOfLegNotSailedWholeHasNoFigures)
{
    BoatEntry &b = race.boats[1];
    b.roundingTime[4] = kNotReached;  // retired on the way down
    buildLegTables(race);
    EXPECT_EQ(b.upwindTime, 400);     // the beat was sailed whole
    EXPECT_DOUBLE_EQ(b.upwindDistance, 2000 / 1852.0);
    EXPECT_EQ(b.downwindTime, 0);     // MK1 to MK2 sailed, MK2 to the finish not
    EXPECT_EQ(b.downwindDistance, 0);

    b.roundingTime[4] = 710;
    b.roundingTime[2] = kNotReached;  // missed MK1: neither kind whole
    buildLegTables(race);
    EXPECT_EQ(b.upwindTime, 0);
    EXPECT_EQ(b.downwindTime, 0);
    EXPECT_EQ(b.downwindDistance, 0);

    b.roundingTime[2] = 400;
    b.roundingTime[1] = kNotReached;  // no start crossing: the first beat is not sailed
    buildLegTables(race);
    EXPECT_EQ(b.upwindTime, 0);
    EXPECT_EQ(b.downwindTime, 310);
}

TEST(Legs, OneItemCourseHasNoLegs)
{
    RaceState race;
    race.lineCount = 1;
    race.course = {"L1"};
    buildLegTables(race);
    EXPECT_EQ(race.legs.legLength[1], 0);
}

}  // namespace
}  // namespace keelrun
