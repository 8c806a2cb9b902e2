#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "polar.h"

namespace keelrun::sim {
namespace {

TEST(Polar, NoSpeedInsideTheNoGoZone)
{
    const Polar p(1.0, 23.5);
    for (const double tws : {4.0, 12.0, 25.0}) {
        EXPECT_EQ(p.speed(0, tws), 0);
        EXPECT_EQ(p.speed(-20, tws), 0);
        EXPECT_GT(p.speed(40, tws), 0);
        EXPECT_EQ(p.speed(-90, tws), p.speed(90, tws));  // port and starboard alike
    }
    EXPECT_EQ(p.speed(90, 0), 0);
}

TEST(Polar, BestVmgAnglesArePlausibleInEveryWind)
{
    for (const double noGo : {22.0, 25.0})
        for (const double factor : {0.88, 1.12})
            for (double tws = 3; tws <= 30; tws += 1.5) {
                const Polar p(factor, noGo);
                const Vmg up = p.bestUpwind(tws), down = p.bestDownwind(tws);
                EXPECT_GE(up.angle, 40) << tws;
                EXPECT_LE(up.angle, 46) << tws;
                EXPECT_GE(down.angle, 140) << tws;
                EXPECT_LE(down.angle, 150) << tws;
                // Nothing on the polar beats the tabulated optimum by more than interpolation slack.
                for (double a = 0; a <= 180; a += 1)
                    EXPECT_LE(p.speed(a, tws) * std::cos(a * std::numbers::pi / 180), up.vmg * 1.01);
            }
}

TEST(Polar, MoreWindAndAFasterClassGoFaster)
{
    const Polar slow(0.9, 24), fast(1.1, 24);
    for (double a = 30; a <= 180; a += 10) {
        EXPECT_LT(slow.speed(a, 8), slow.speed(a, 14));
        EXPECT_LT(slow.speed(a, 12), fast.speed(a, 12));
    }
    // Reaching is the fastest point of sailing; a dead run is slower than a broad reach.
    EXPECT_GT(slow.speed(100, 12), slow.speed(45, 12));
    EXPECT_GT(slow.speed(140, 12), slow.speed(180, 12));
}

// A foiling catamaran in a sailing breeze: about 20 knots close-hauled near
// 45 degrees, 35 to 45 downwind near 148, never over 48.
TEST(Polar, FoilersFlyAtTwiceTheWindAndMore)
{
    const Polar foiler(1.0, 35.5, Hull::Foiling);
    for (const double tws : {12.0, 15.0, 18.0}) {
        const Vmg up = foiler.bestUpwind(tws), down = foiler.bestDownwind(tws);
        EXPECT_NEAR(up.angle, 47, 5) << tws;
        EXPECT_NEAR(up.speed, 0.5 * foiler.speed(125, tws), 3) << tws;
        EXPECT_NEAR(down.angle, 148, 6) << tws;
        EXPECT_GT(down.speed, 2 * tws) << tws;
    }
    EXPECT_NEAR(foiler.bestUpwind(15).speed, 20, 2);
    EXPECT_GE(foiler.bestDownwind(15).speed, 32);
    EXPECT_LE(foiler.bestDownwind(15).speed, 45);
    for (double a = 0; a <= 180; a += 5) {
        EXPECT_LE(foiler.speed(a, 30), 48);
        EXPECT_EQ(foiler.speed(a, 15) > 0, a > 35.5) << a;
    }
    EXPECT_DOUBLE_EQ(handicapFactor(Polar(1.0, 35.5, Hull::Foiling), foiler), 1.0);
}

TEST(Polar, HandicapGrowsWithSpeedAndStaysInTheUsualRange)
{
    EXPECT_DOUBLE_EQ(handicapFactor(Polar(1.0, 23.5)), 1.0);
    const double slow = handicapFactor(Polar(0.88, 25));
    const double fast = handicapFactor(Polar(1.12, 22));
    EXPECT_LT(slow, 1.0);
    EXPECT_GT(fast, 1.0);
    EXPECT_GE(slow, 0.85);
    EXPECT_LE(fast, 1.15);
    EXPECT_DOUBLE_EQ(slow * 1000, std::round(slow * 1000));  // three decimals, as certificates give them
}

}  // namespace
}  // namespace keelrun::sim
