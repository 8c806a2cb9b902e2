#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "race/plane.h"

namespace keelrun {
namespace {

TEST(Plane, BearingOfEdgeValues)
{
    EXPECT_EQ(bearingOf(0, 0), 0);
    EXPECT_EQ(bearingOf(1, 0), 90);
    EXPECT_EQ(bearingOf(-1, 0), 270);
    EXPECT_EQ(bearingOf(0, -1), 180);
    EXPECT_EQ(bearingOf(0, 1), 0);
    EXPECT_DOUBLE_EQ(bearingOf(1, 1), 45);
    EXPECT_DOUBLE_EQ(bearingOf(-1, 1), 315);
    EXPECT_DOUBLE_EQ(bearingOf(-1, -1), 225);
}

TEST(Plane, RangeAndBearingIsMagnetic)
{
    const RangeBearing rb = rangeAndBearing({0, 0}, {1, 0}, 0.5, 7);
    EXPECT_DOUBLE_EQ(rb.range, 1852);
    EXPECT_DOUBLE_EQ(rb.bearing, 353);
    EXPECT_DOUBLE_EQ(rangeAndBearing({0, 0}, {0, 2}, 0.5, 0).range, 1852);
}
}  // namespace
}  // namespace keelrun
