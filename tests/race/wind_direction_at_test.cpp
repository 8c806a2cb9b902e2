// The wind directions along a track's times, walked, against the same
// directions looked up one by one: wind records at uneven times, twice at
// one time, across north and out of order; the fleet's estimates; times
// before, between, on and after the records, repeated, going back, and not
// a number.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "race/wind_direction_at.h"

namespace keelrun {
namespace {

std::vector<double> trackTimes()
{
    std::vector<double> times;
    for (double t = -200; t <= 1300; t += 7)
        times.push_back(t);
    for (const double t : {0.0, 60.0, 60.0, 61.5, 600.0, 1200.0, 1e9})  // on records, again, and far after
        times.push_back(t);
    times.push_back(-1e9);  // back to before the first
    for (double t = 100; t <= 400; t += 0.5)
        times.push_back(t);
    times.push_back(std::numeric_limits<double>::quiet_NaN());
    times.push_back(300);
    return times;
}

void expectAsLookedUp(const WindDirectionAt &wind)
{
    const std::vector<double> times = trackTimes();
    const std::vector<double> walked = wind.along(times);
    ASSERT_EQ(walked.size(), times.size());
    for (std::size_t k = 0; k < times.size(); ++k)
        EXPECT_EQ(walked[k], wind(times[k])) << "time " << times[k];
}

std::vector<WindSample> records(std::initializer_list<std::pair<double, int>> timesAndDirections)
{
    std::vector<WindSample> out(1);
    for (const auto &[time, twd] : timesAndDirections)
        out.push_back({time, 10, twd});
    return out;
}

TEST(WindDirectionAt, WindRecordsAlongATrack)
{
    const std::vector<WindSample> inOrder = records({{0, 350}, {60, 10}, {60, 20}, {61, 40}, {600, 200}, {1200, 190}});
    expectAsLookedUp(WindDirectionAt(inOrder));
    // Between two records the wind turns the short way, across north.
    EXPECT_DOUBLE_EQ(WindDirectionAt(inOrder)(30), 360);
    const std::vector<WindSample> outOfOrder = records({{0, 350}, {600, 10}, {60, 20}, {1200, 40}, {61, 200}});
    expectAsLookedUp(WindDirectionAt(outOfOrder));
}

TEST(WindDirectionAt, EstimatesAndOneDirectionAlongATrack)
{
    std::vector<WindEstimate> estimates;
    for (double t = -180; t <= 1200; t += 60)
        estimates.push_back({t, static_cast<int>(t / 10 + 360) % 360});
    const WindDirectionAt estimated(estimates, 60);
    expectAsLookedUp(estimated);
    // The estimate at or after the time.
    EXPECT_EQ(estimated(-170), estimates[1].twd);
    EXPECT_EQ(estimated(-120), estimates[1].twd);
    EXPECT_EQ(estimated.along({-170, -120, -119})[1], estimates[1].twd);
    expectAsLookedUp(WindDirectionAt(225));
}

}  // namespace
}  // namespace keelrun
