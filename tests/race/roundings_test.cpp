#include <gtest/gtest.h>

#include "race/roundings.h"

namespace keelrun {
namespace {

// A square race area near 0/0 in minutes of arc. The start and finish line
// L1 runs east-west at latitude 0 from longitude 0 to 1; marks lie north.
class RoundingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        race.raceFilePath = "/data/raceadmin/race01.txt";
        race.windowStart = -190;
        race.windowEnd = 3000;
        race.lineCount = 1;
        race.lines[1] = {{0, 0}, {0, 1}};
        race.markCount = 2;
        race.marks[1] = {2, 0.5};
        race.marks[2] = {4, 0.5};
    }

    // Adds a boat sailing through `points` (lat, lon), one every 10 s from `t0`.
    BoatEntry &addBoat(std::initializer_list<GeoPoint> points, double t0 = -50)
    {
        BoatEntry &boat = race.boats[++race.boatCount];
        double t = t0;
        for (const GeoPoint &p : points) {
            boat.samples.push_back({t, p.lat, p.lon, 0, 0});
            t += 10;
        }
        return boat;
    }

    RaceState race;
};

TEST_F(RoundingsTest, StartLineCrossingIsInterpolated)
{
    race.course = {"L1", "MK1", "MK2"};
    BoatEntry &b = addBoat({{-0.3, 0.5}, {-0.2, 0.5}, {-0.1, 0.5}, {-0.05, 0.5}, {-0.03, 0.5}, {-0.02, 0.5},
                            {0.02, 0.5}, {0.5, 0.5}, {1, 0.5}, {1.5, 0.5}, {2, 0.5}, {2.5, 0.5}, {3, 0.5}, {3.5, 0.5},
                            {4, 0.5}});
    detectRoundings(race);
    EXPECT_DOUBLE_EQ(b.roundingTime[1], 5);  // halfway between the fixes at 0 and 10 s
    EXPECT_EQ(b.roundingTime[2], 50);        // closest to MK1
}

TEST_F(RoundingsTest, CrossingOutsideTheEndsIsNoPassage)
{
    race.course = {"L1", "MK1"};
    // Crosses east of the line's end (longitude 1.5), comes back south,
    // then crosses between the ends.
    BoatEntry &b = addBoat({{-0.1, 1.5}, {0.1, 1.5}, {0.1, 1.2}, {-0.1, 0.9}, {-0.1, 0.6}, {0.1, 0.6}, {0.5, 0.6},
                            {1, 0.6}, {1.5, 0.5}, {2, 0.5}, {2.5, 0.5}, {3, 0.5}, {3.5, 0.5}, {4, 0.5}},
                           0);
    detectRoundings(race);
    EXPECT_DOUBLE_EQ(b.roundingTime[1], 45);
}

// Starts as fleets sail them: boats cross and re-cross the line in the last
// minutes, some are over at the gun, some never start.
TEST_F(RoundingsTest, StartIsTheFirstCrossingTowardsTheCourseAfterTheGun)
{
    race.course = {"L1", "MK1", "MK2"};
    // Dips over the line and back twice before the gun, then starts 5 s after it.
    BoatEntry &dipper = addBoat({{-0.1, 0.5}, {0.05, 0.5}, {-0.05, 0.5}, {0.02, 0.5}, {-0.02, 0.5}, {-0.02, 0.5},
                                 {-0.01, 0.5}, {0.01, 0.5}, {0.5, 0.5}, {1, 0.5}, {1.5, 0.5}, {2, 0.5}, {2.5, 0.5}, {3, 0.5},
                                 {3.5, 0.5}, {4, 0.5}},
                                -60);
    // Over early: 0.05 minutes (90 m) over at the gun; back below the line,
    // then starts again at 45 s.
    BoatEntry &early = addBoat({{-0.1, 0.5}, {0.05, 0.5}, {0.05, 0.5}, {0.05, 0.5}, {0.0, 0.5}, {-0.03, 0.5},
                                {-0.01, 0.5}, {0.01, 0.5}, {0.5, 0.5}, {1, 0.5}, {1.5, 0.5}, {2, 0.5}, {2.5, 0.5},
                                {3, 0.5}, {3.5, 0.5}, {4, 0.5}},
                               -20);
    // Over early and never back: no start, and nothing else either.
    BoatEntry &neverBack = addBoat({{-0.1, 0.5}, {0.05, 0.5}, {0.1, 0.5}, {0.5, 0.5}, {1, 0.5}, {2, 0.5}, {3, 0.5},
                                    {4, 0.5}},
                                   -20);
    // Sits 5 m over the line at the gun, within what a GPS fix is off: starts with the gun.
    BoatEntry &onTheLine = addBoat({{-0.1, 0.5}, {0.003, 0.5}, {0.003, 0.5}, {0.1, 0.5}, {1, 0.5}, {2, 0.5}, {3, 0.5},
                                    {4, 0.5}},
                                   -20);
    // Sails past the east end of the line and never crosses it.
    BoatEntry &outside = addBoat({{-0.1, 1.5}, {0.1, 1.5}, {1, 1.5}, {2, 0.6}, {3, 0.6}, {4, 0.5}}, -5);
    detectRoundings(race);

    EXPECT_DOUBLE_EQ(dipper.roundingTime[1], 5);
    EXPECT_FALSE(dipper.overEarly);
    EXPECT_EQ(dipper.roundingTime[2], 50);

    EXPECT_DOUBLE_EQ(early.roundingTime[1], 45);
    EXPECT_TRUE(early.overEarly);
    EXPECT_EQ(early.roundingTime[2], 90);

    EXPECT_TRUE(neverBack.overEarly);
    EXPECT_EQ(neverBack.roundingTime, filledTable(kNotReached));

    EXPECT_EQ(onTheLine.roundingTime[1], 0);
    EXPECT_FALSE(onTheLine.overEarly);

    EXPECT_EQ(outside.roundingTime, filledTable(kNotReached));
    EXPECT_EQ(passageNotes(race, dipper), QStringList());
    EXPECT_EQ(passageNotes(race, early), QStringList{"over early, started at 45 s"});
    EXPECT_EQ(passageNotes(race, neverBack), QStringList{"over early and did not start"});
    EXPECT_EQ(passageNotes(race, outside), QStringList{"did not start"});
    EXPECT_EQ(race.results.leaderAt[1], 4);  // the one on the line at the gun
    EXPECT_EQ(race.results.leaderAt[2], 4);
}

TEST_F(RoundingsTest, NoPassageIsTakenAcrossALoggerGap)
{
    race.course = {"L1", "MK1"};
    // Below the line at -10 s; the logger is off for two hours and comes
    // back far up the course: the line was crossed, but not when.
    BoatEntry &b = addBoat({{-0.1, 0.5}, {-0.05, 0.5}});
    b.samples.push_back({7200, 3, 0.5, 0, 0});
    b.samples.push_back({7210, 3.5, 0.5, 0, 0});
    detectRoundings(race);
    EXPECT_EQ(b.roundingTime[1], kNotReached);
}

// A boat that misses a mark: the search for the items after it goes on from
// the last item it passed, and it does not finish.
TEST_F(RoundingsTest, MissedMarkLeavesTheBoatUnfinished)
{
    race.course = {"L1", "MK1", "MK2", "L1"};
    // Before the start the boat passes MK2 and comes back round the east
    // end of the line; it starts, misses MK1 by 0.3 minutes, passes MK2
    // and sails back through the line.
    BoatEntry &b = addBoat({{3.9, 0.5}, {4, 0.5}, {3, 1.5}, {0.5, 1.5}, {-0.1, 1.5}, {-0.1, 0.5}, {-0.1, 0.5},
                            {-0.1, 0.5}, {-0.1, 0.5}, {-0.1, 0.5}, {-0.1, 0.5}, {0.1, 0.5}, {1, 0.8}, {2, 0.8},
                            {3, 0.5}, {4, 0.52}, {3, 0.5}, {1, 0.5}, {0.5, 0.5}, {0.1, 0.5}, {-0.1, 0.5}},
                           -100);
    BoatEntry &sailedIt = addBoat({{-0.1, 0.5}, {0.1, 0.5}, {1, 0.5}, {2, 0.5}, {3, 0.5}, {4, 0.5}, {3, 0.5},
                                   {2, 0.5}, {1, 0.5}, {0.1, 0.5}, {-0.1, 0.5}, {-0.2, 0.5}},
                                  0);
    detectRoundings(race);
    EXPECT_DOUBLE_EQ(b.roundingTime[1], 5);
    EXPECT_EQ(b.roundingTime[2], kNotReached);
    EXPECT_EQ(b.roundingTime[3], 50);  // after its start, not the pass before the gun
    EXPECT_EQ(b.roundingTime[4], kNotReached);
    EXPECT_EQ(b.missedItem, 2);
    EXPECT_EQ(passageNotes(race, b), QStringList{"missed MK1, not a finisher"});
    EXPECT_EQ(sailedIt.missedItem, 0);
    EXPECT_DOUBLE_EQ(sailedIt.roundingTime[4], 95);
    EXPECT_EQ(b.finishRank, 0);
    EXPECT_EQ(sailedIt.finishRank, 1);
    EXPECT_EQ(race.results.leaderAt[3], 2);  // the boat that missed MK1 leads nowhere after it
}

// Passages in course order: nothing before the gun after the start, nothing
// before the boat's previous passage, nothing for a boat that has stopped.
TEST_F(RoundingsTest, PassagesFollowTheCourse)
{
    race.course = {"L1", "MK1", "MK2", "MK1", "L1"};
    // Retires after MK1: sits there for the rest of the race.
    BoatEntry &retired = addBoat({{-0.1, 0.5}, {0.1, 0.5}, {1, 0.5}, {2, 0.5}, {2, 0.5}, {2, 0.5}, {2, 0.5}, {2, 0.5},
                                  {2, 0.5}, {2, 0.5}, {2, 0.5}},
                                 0);
    detectRoundings(race);
    EXPECT_EQ(retired.roundingTime[2], 30);
    EXPECT_EQ(retired.roundingTime[3], kNotReached);
    EXPECT_EQ(retired.roundingTime[4], kNotReached);  // not its MK1 rounding over again
    EXPECT_EQ(retired.missedItem, 0);
    EXPECT_EQ(race.results.leaderAt[4], 0);
}

TEST_F(RoundingsTest, GateRoundedOutsideItsEndsIsPassedAtItsClosestApproach)
{
    race.lineCount = 2;
    race.lines[2] = {{4, 0.4}, {4, 0.6}};  // a gate across the course up at MK2's latitude
    race.course = {"L1", "L2", "MK1", "L1"};
    // Goes round the east gate mark outside the gate, down to MK1 and home.
    BoatEntry &b = addBoat({{-0.1, 0.5}, {0.1, 0.5}, {1, 0.6}, {2, 0.6}, {3, 0.65}, {3.9, 0.65}, {4.05, 0.65},
                            {3.9, 0.64}, {3, 0.55}, {2, 0.5}, {1, 0.5}, {0.1, 0.5}, {-0.1, 0.5}},
                           0);
    detectRoundings(race);
    EXPECT_EQ(b.roundingTime[2], 60);  // 0.05 minutes beyond the east end
    EXPECT_EQ(b.roundingTime[3], 90);
    EXPECT_DOUBLE_EQ(b.roundingTime[4], 115);
    EXPECT_EQ(b.missedItem, 0);
}

TEST_F(RoundingsTest, FinishMarkIsNeverPassed)
{
    race.course = {"L1", "MK1"};
    BoatEntry &b = addBoat({{-0.1, 0.5}, {0.1, 0.5}, {1, 0.5}, {2, 0.5}, {2.5, 0.5}, {3, 0.5}}, 0);
    detectRoundings(race);
    EXPECT_TRUE(passed(b.roundingTime[1]));
    EXPECT_EQ(b.roundingTime[2], kNotReached);
    EXPECT_EQ(race.results.lastFinishTime, 0);
    EXPECT_EQ(race.windowEnd, 3000);  // no finisher: the window stays
    EXPECT_EQ(race.results.finishLine, (std::array<double, 4>{}));
}

TEST_F(RoundingsTest, EqualFinishTimesShareARankAndSkipTheNext)
{
    race.course = {"L1", "MK1", "L1"};
    const std::initializer_list<GeoPoint> lap = {{-0.1, 0.5}, {0.1, 0.5}, {1, 0.5}, {2, 0.5}, {1, 0.5},
                                                 {0.1, 0.5},  {-0.1, 0.5}, {-0.2, 0.5}};
    BoatEntry &a = addBoat(lap, 0);
    BoatEntry &b = addBoat(lap, 0);
    BoatEntry &c = addBoat(lap, 20);
    BoatEntry &d = addBoat({{-0.1, 0.5}, {0.1, 0.5}, {1, 0.5}}, 0);
    detectRoundings(race);
    EXPECT_EQ(a.roundingTime[3], 55);
    EXPECT_EQ(a.finishRank, 1);
    EXPECT_EQ(b.finishRank, 1);
    EXPECT_EQ(c.finishRank, 3);
    EXPECT_EQ(d.finishRank, 0);  // did not finish
    EXPECT_EQ(race.results.leaderAt[3], 1);  // ties go to the lower boat number
    EXPECT_EQ(race.results.firstPassTime[3], 55);
    EXPECT_EQ(race.results.lastFinishTime, 75);
    EXPECT_EQ(race.windowEnd, 135);
    EXPECT_EQ(race.windowLength, 325);
    EXPECT_EQ(race.results.finishLine, (std::array<double, 4>{0, 0, 0, 1}));
}

TEST_F(RoundingsTest, NorthSouthLine)
{
    race.lines[1] = {{0, 0}, {1, 0}};
    race.course = {"L1", "MK1"};
    BoatEntry &b = addBoat({{0.5, -0.3}, {0.5, -0.1}, {0.5, 0.1}, {0.7, 0.4}, {1.2, 0.5}, {2, 0.5}, {2.5, 0.5},
                            {3, 0.5}},
                           0);
    detectRoundings(race);
    EXPECT_DOUBLE_EQ(b.roundingTime[1], 15);
}

TEST_F(RoundingsTest, LongCoursesAndUnknownItemsAreReported)
{
    for (int i = 0; i < 14; ++i)
        race.course << "MK1";
    race.course << "L7";
    checkCourse(race);
    EXPECT_EQ(race.courseLength(), kMaxTimedItems);
    EXPECT_EQ(race.course.size(), 15);  // kept whole, so that a rewrite loses nothing
    ASSERT_EQ(race.warnings.size(), 2);
    EXPECT_EQ(race.warnings[0], "race01.txt: the course has 15 items; only the first 12 are timed");
    EXPECT_TRUE(race.warnings[1].contains("\"L7\" names no line"));

    race.course = {"L1", "MK9", "Lx"};
    checkCourse(race);
    EXPECT_EQ(race.warnings.size(), 4);
    EXPECT_TRUE(race.warnings[2].contains("\"MK9\" names no mark"));
}

TEST(CourseItems, LinesAndMarks)
{
    RaceState race;
    race.lineCount = 2;
    race.markCount = 12;
    EXPECT_EQ(parseCourseItem(race, "L2").number, 2);
    EXPECT_TRUE(parseCourseItem(race, "L2").isLine);
    EXPECT_EQ(parseCourseItem(race, "MK12").number, 12);
    EXPECT_FALSE(parseCourseItem(race, "MK12").isLine);
    EXPECT_EQ(parseCourseItem(race, "L3").number, 0);
    EXPECT_EQ(parseCourseItem(race, "MK").number, 0);
}

}  // namespace
}  // namespace keelrun
