#include <gtest/gtest.h>

#include "replay/light_phases.h"

namespace keelrun {
namespace {

// A light of period P with n flashes is lit in phases 1..n; the second of
// two colours shows at mid-period; lights are staggered by their place.
TEST(LightPhases, FlashesColoursAndStagger)
{
    std::vector<Light> lights(2);
    lights[0] = {"Two flashes", 0, 0, 5, 2, "R", 10};
    lights[1] = {"Alternating", 0, 0, 6, 1, "WG", 10};
    LightClock clock;
    std::vector<int> first, second;
    std::vector<Rgb> colours;
    for (int s = 0; s < 12; ++s) {
        advanceLights(clock, lights);
        first.push_back(clock.phases[1].state);
        second.push_back(clock.phases[2].state);
        colours.push_back(clock.phases[2].colour);
    }
    // Light 1: a = (1 + tick) mod 5 for ticks 1..12 = 2 3 4 0 1 2 3 4 0 1 2 3.
    EXPECT_EQ(first, (std::vector<int>{2, 0, 0, 0, 1, 2, 0, 0, 0, 1, 2, 0}));
    EXPECT_EQ(clock.phases[1].colour, (Rgb{255, 0, 0}));
    // Light 2: a = (2 + tick) mod 6 = 3 4 5 0 1 2 3 ...; lit at a = 1 and at mid-period a = 3.
    EXPECT_EQ(second, (std::vector<int>{1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1, 0}));
    EXPECT_EQ(colours[0], (Rgb{0, 128, 0}));  // green at mid-period
    EXPECT_EQ(colours[4], (Rgb{255, 255, 255}));  // white from the start of the period
    EXPECT_DOUBLE_EQ(clock.secondFraction, 0);
}

TEST(LightPhases, AMomentOfTheReplay)
{
    std::vector<Light> lights = {{"Slow", 0, 0, 3, 1, "G", 10}, {"Broken", 0, 0, 0, 1, "W", 10}};
    const LightClock at = lightsAt(100, lights);
    EXPECT_EQ(at.lightTick, 100);
    EXPECT_EQ(at.phases[1].state, (1 + 100) % 3 <= 1 ? (1 + 100) % 3 : 0);
    EXPECT_EQ(at.phases[1].colour, (Rgb{0, 128, 0}));
    EXPECT_FALSE(at.phases[2].lit());  // no period: never lit
    EXPECT_DOUBLE_EQ(at.secondFraction, 0.5);
    EXPECT_EQ(lightsAt(-5, lights).lightTick, 0);
}

}  // namespace
}  // namespace keelrun
