// The fleet's usual speeds: the scale its tracks are coloured on.

#include <vector>

#include <gtest/gtest.h>

#include "race/fleet_speeds.h"

namespace keelrun {
namespace {

// A boat with a fix for each speed, ten seconds apart.
void addBoat(RaceState &race, const std::vector<double> &speeds)
{
    BoatEntry &boat = race.boats[++race.boatCount];
    double t = 0;
    for (const double knots : speeds) {
        boat.samples.push_back({t, 0, 0, knots, 0});
        t += 10;
    }
}

// Speeds 1 to 100 knots: the 5th and 95th percentile of the hundred.
TEST(UsualSpeeds, TheFifthToTheNinetyFifthPercentile)
{
    RaceState race;
    for (int first = 1; first <= 100; first += 20) {
        std::vector<double> speeds;
        for (int knots = first; knots < first + 20; ++knots)
            speeds.push_back(knots);
        addBoat(race, speeds);
    }
    const SpeedRange usual = usualSpeedsOf(race);
    EXPECT_EQ(usual.low, 6);
    EXPECT_EQ(usual.high, 95);
}

// A fleet sailing 5 to 7 knots: a glitch of 60 knots, and an hour lying
// still before the start, leave the scale where the sailing is.
TEST(UsualSpeeds, AGlitchAndLyingStillDoNotStretchTheScale)
{
    RaceState race;
    const std::vector<double> sailing{5, 5.5, 6, 6.5, 7, 5, 5.5, 6, 6.5, 7, 5, 5.5, 6, 6.5, 7, 5, 5.5, 6, 6.5, 7};
    addBoat(race, sailing);
    addBoat(race, sailing);
    addBoat(race, {0, 0.2, 0.4, 0, 0.3, 0, 0.1, 0, 0.5, 0.2, 0, 0, 0.3, 0, 0, 0.1, 0, 0, 0.2, 0, 0, 0, 0, 60});
    const SpeedRange usual = usualSpeedsOf(race);
    EXPECT_EQ(usual.low, 5);
    EXPECT_EQ(usual.high, 7);
}

TEST(UsualSpeeds, NothingMovingIsNoScale)
{
    RaceState race;
    addBoat(race, {0, 0.5, 0.9});
    const SpeedRange usual = usualSpeedsOf(race);
    EXPECT_EQ(usual.low, 0);
    EXPECT_EQ(usual.high, 0);
}

}  // namespace
}  // namespace keelrun
