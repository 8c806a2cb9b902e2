// Rounding to whole pixels and degrees: ties go to the even neighbour, as
// the pictures and tables were made with, and nothing overflows.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/numbers.h"

namespace keelrun {
namespace {

TEST(RoundHalfEven, TiesToEvenBothSides)
{
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999999), 2);
    EXPECT_EQ(roundHalfEven(-7.51), -8);
    EXPECT_EQ(roundHalfEven(1e9 + 0.5), 1000000000);
    for (double x = -1000; x <= 1000; x += 0.125)
        ASSERT_EQ(roundHalfEven(x), static_cast<int>(std::nearbyint(x))) << x;
}

TEST(RoundHalfEven, SaturatesAndRefusesWhatIsNotANumber)
{
    constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(roundHalfEven(2147483646.6), kMax);
    EXPECT_EQ(roundHalfEven(1e12), kMax);
    EXPECT_EQ(roundHalfEven(-1e12), kMin);
    EXPECT_EQ(roundHalfEven(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(roundHalfEven(std::nan("")), 0);
}

}  // namespace
}  // namespace keelrun
