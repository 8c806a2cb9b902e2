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

TEST_F(RoundingsTest, StartCrossingBeforeTheGunFallsBackToTheNearestApproach)
{
    race.course = {"L1", "MK1"};
    // Over the line at -35 s; its closest point to end 1 (0/0) is at -30 s.
    BoatEntry &b = addBoat({{-0.1, 0.1}, {0.1, 0.1}, {0.05, 0.05}, {0.1, 0.1}, {0.3, 0.3}, {0.6, 0.5}, {1, 0.5},
                            {1.5, 0.5}, {2, 0.5}, {2.5, 0.5}, {3, 0.5}, {3.5, 0.5}, {4, 0.5}, {4.5, 0.5}});
    detectRoundings(race);
    EXPECT_EQ(b.roundingTime[1], -30);
}

TEST_F(RoundingsTest, MissedMarkRestartsTheNextSearchFromTheFirstFix)
{
    race.course = {"L1", "MK1", "MK2", "L1"};
    // Before the start the boat passes MK2 and comes back round the east
    // end of the line; it starts, misses MK1 by 0.3 minutes, passes MK2
    // again and sails on.
    BoatEntry &b = addBoat({{3.9, 0.5}, {4, 0.5}, {3, 1.5}, {0.5, 1.5}, {-0.1, 1.5}, {-0.1, 0.5}, {-0.1, 0.5},
                            {-0.1, 0.5}, {-0.1, 0.5}, {-0.1, 0.5}, {-0.1, 0.5}, {0.1, 0.5}, {1, 0.8}, {2, 0.8},
                            {3, 0.5}, {4, 0.52}, {3, 0.5}, {1, 0.5}, {0.5, 0.5}, {0.4, 0.5}, {0.3, 0.5},
                            {0.3, 0.5}, {0.3, 0.5}, {0.3, 0.5}, {0.3, 0.5}, {0.3, 0.5}, {0.3, 0.5}, {0.3, 0.5},
                            {0.3, 0.5}, {0.3, 0.5}, {0.3, 0.5}},
                           -100);
    detectRoundings(race);
    EXPECT_DOUBLE_EQ(b.roundingTime[1], 5);
    EXPECT_EQ(b.roundingTime[2], kNotReached);
    EXPECT_EQ(b.roundingTime[3], -90);  // the first pass, found again from sample 1
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
    EXPECT_EQ(d.finishRank, 4);
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
