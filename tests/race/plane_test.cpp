#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <utility>
#include <vector>

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

// The whole-degree course of a fix must be the rounded bearing to the bit:
// everywhere, at the half degrees where the rounding turns, a few units in
// the last place either side of them, along the axes and at the edges of
// what a double holds.
TEST(Plane, WholeDegreeBearingIsTheRoundedBearing)
{
    std::vector<std::pair<double, double>> cases;  // east, north
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> turn(0, 2 * std::numbers::pi), exponent(-7, 6);
    for (int i = 0; i < 400000; ++i) {
        const double angle = turn(random), length = std::pow(10.0, exponent(random));
        cases.emplace_back(length * std::sin(angle), length * std::cos(angle));
    }
    for (int tenth = 0; tenth < 3600; ++tenth) {
        for (const double length : {1e-3, 1.0, 37.5, 1e4}) {
            const double angle = tenth * 0.1 * std::numbers::pi / 180;  // every half degree among them
            double east = length * std::sin(angle), north = length * std::cos(angle);
            for (int ulp = 0; ulp < 4; ++ulp) {
                east = std::nextafter(east, 0.0);
                north = std::nextafter(north, 1e300);
            }
            for (int step = 0; step < 9; ++step) {
                cases.emplace_back(east, north);
                east = std::nextafter(east, 1e300);
            }
        }
    }
    const double tiny = std::numeric_limits<double>::denorm_min(), huge = std::numeric_limits<double>::max();
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    for (const double a : {0.0, -0.0, 1e-300, -1e-300, tiny, -tiny, 1e-12, -1e-12, 1.0, -1.0, 2.0, -2.0, huge, -huge, inf, -inf, nan}) {
        for (const double b : {0.0, -0.0, tiny, -tiny, 1e-9, -1e-9, 1.0, -1.0, 3.0, -3.0, 1e300, -1e300, huge, -huge, inf, -inf, nan}) {
            cases.emplace_back(a, b);
            cases.emplace_back(b, a);
        }
    }
    int wrong = 0;
    std::string first;
    for (const auto &[east, north] : cases) {
        const int expected = roundHalfEven(bearingOf(east, north)), got = wholeDegreeBearing(east, north);
        if (got != expected && wrong++ == 0)
            first = std::to_string(east) + ", " + std::to_string(north) + ": " + std::to_string(got) + " for " + std::to_string(expected);
    }
    EXPECT_EQ(wrong, 0) << "first: " << first;
}

// The rough course keeps within its bound of the arc tangent's course all
// round, on the axes and the diagonals, for long and short displacements,
// and due south on the arc tangent's side: -180 or 180 by the sign of zero.
TEST(Plane, RoughCourseKeepsWithinItsBound)
{
    std::vector<std::pair<double, double>> cases = {{0, 1}, {-0.0, 1}, {1, 0}, {0, -1}, {-0.0, -1}, {-1, 0}, {1, 1}, {-1, -1}, {1e-300, -1}, {-1e-300, -1}};
    for (int step = 0; step < 3600000; ++step) {
        const double angle = step * (2 * std::numbers::pi / 3600000), length = std::pow(10.0, step % 13 - 6);
        cases.emplace_back(length * std::sin(angle), length * std::cos(angle));
    }
    double worst = 0;
    for (const auto &[east, north] : cases)
        worst = std::max(worst, std::abs(roughCourse(east, north) - std::atan2(east, north) / kDegree));
    EXPECT_LE(worst, kRoughCourseError);
    EXPECT_GT(worst, kRoughCourseError / 10);  // the bound is not loose
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
