// The steadied courses against the plain walk along the track that makes
// each course good from the fix kSteadySeconds before to the fix as long
// after: every time, heading and course vector the same to the last bit, and
// every side of the wind and angle off a course as the exact heading tells
// it, on tracks with noise, gaps, repeated times, halts, sparse fixes and
// fixes out of time order.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <compare>
#include <random>
#include <utility>
#include <vector>

#include "base/numbers.h"
#include "race/plane.h"
#include "race/steady_courses.h"

namespace keelrun {
namespace {

constexpr double kCosLat = 0.8;

struct Expected {
    double time = 0, heading = 0;
    CourseVector vector;
};

// The walk: one window slid along the fixes in the order they are stored.
std::vector<Expected> walkAlong(const BoatEntry &boat)
{
    const auto &s = boat.samples;
    const int n = boat.sampleCount();
    std::vector<Expected> out(n + 1);
    int before = 1, after = 1;
    for (int i = 1; i <= n; ++i) {
        while (s[before].time < s[i].time - kSteadySeconds)
            ++before;
        while (after < n && s[after + 1].time <= s[i].time + kSteadySeconds)
            ++after;
        const double north = s[after].lat - s[before].lat, east = (s[after].lon - s[before].lon) * kCosLat;
        const double length = std::sqrt(north * north + east * east);
        Expected &e = out[i];
        if (after - before >= 2 && length > 0) {
            e = {s[i].time, std::atan2(east, north) / kDegree, {north / length, east / length}};
        } else {
            e.time = i < n ? (s[i].time + s[i + 1].time) / 2 : s[i].time;
            e.heading = s[i].heading;
            e.vector = {std::cos(e.heading * kDegree), std::sin(e.heading * kDegree)};
        }
    }
    return out;
}

// A boat beating to windward with GPS noise, a fix a second, and in turn:
// a gap, fixes at the same second, fixes half a second apart, a halt with
// the fixes all in one place, and a stretch a fix every 30 seconds.
BoatEntry irregularTrack()
{
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 0.002);  // minutes of arc, some 4 m
    BoatEntry boat;
    double lat = 2000, lon = 8000;
    const auto fix = [&](double time, double metres, double heading) {
        lat += metres * std::cos(heading * kDegree) / kMetresPerMinute;
        lon += metres * std::sin(heading * kDegree) / (kMetresPerMinute * kCosLat);
        boat.samples.push_back({time, lat + noise(random), lon + noise(random), 6, heading});
    };
    double t = 0;
    for (int k = 0; k < 60; ++k)
        fix(t++, 3, k < 30 ? 315 : 45);
    t += 30;  // the logger lost the satellites
    for (int k = 0; k < 20; ++k) {
        fix(t, 3, 45);
        if (k % 3 == 0)
            fix(t, 0, 45);  // twice in one second
        ++t;
    }
    for (int k = 0; k < 20; ++k, t += 0.5)
        fix(t, 1.5, 315);
    for (int k = 0; k < 20; ++k)
        boat.samples.push_back({t++, lat, lon, 0, 315});
    for (int k = 0; k < 10; ++k, t += 30)
        fix(t, 90, 45);
    return boat;
}

int sideOf(double angle) { return angle > 0 ? 1 : angle == 0 ? 0 : -1; }

// The sides of the wind and the angles off a course, which are mostly told
// from rough courses, as the exact courses tell them: for winds and
// directions on the courses, straight against them, at the limits, and a
// hair and a little more either side of those.
void expectTheSidesOfTheWind(const SteadyCourses &courses, const std::vector<Expected> &walked)
{
    const int n = static_cast<int>(walked.size()) - 1;
    std::vector<double> offsets = {0, 180, -180, 360, 90, 1e-3, 1.1e-3, 0.01, 1e-9, 1e-13};
    for (std::size_t k = 1, size = offsets.size(); k < size; ++k)
        offsets.push_back(-offsets[k]);
    for (const double offset : offsets) {
        for (const double limit : {0.0, 10.0, 15.0, 20.0}) {
            std::vector<double> twdAt(n + 1);
            for (int i = 1; i <= n; ++i)
                twdAt[i] = walked[i].heading + limit + offset;
            const std::vector<signed char> side = courses.windSides(twdAt);
            for (int i = 1; i <= n; ++i) {
                const double exact = std::abs(signedAngle(walked[i].heading - twdAt[i]));
                ASSERT_EQ(side[i], sideOf(signedAngle(walked[i].heading - twdAt[i]))) << "fix " << i << " off " << offset;
                ASSERT_EQ(courses.angleOff(i, twdAt[i], limit) <=> limit, exact <=> limit)
                    << "fix " << i << " limit " << limit << " off " << offset;
            }
        }
    }
    // Whole-degree winds all round, as the fleet's estimates are.
    for (int twd = 0; twd <= 360; twd += 5) {
        const std::vector<signed char> side = courses.windSides(std::vector<double>(n + 1, twd));
        for (int i = 1; i <= n; ++i)
            ASSERT_EQ(side[i], sideOf(signedAngle(walked[i].heading - twd))) << "fix " << i << " wind " << twd;
    }
}

void expectTheWalk(const BoatEntry &boat)
{
    const SteadyCourses courses(boat, kCosLat);
    const std::vector<Expected> walked = walkAlong(boat);
    const int n = boat.sampleCount();
    for (int i = 1; i <= n; ++i) {
        const Expected &e = walked[i];
        const CourseVector v = courses.sum(i, i);
        EXPECT_EQ(courses.time[i], e.time) << "fix " << i;
        EXPECT_EQ(courses.heading(i), e.heading) << "fix " << i;
        EXPECT_EQ(v.north, e.vector.north) << "fix " << i;
        EXPECT_EQ(v.east, e.vector.east) << "fix " << i;
    }
    expectTheSidesOfTheWind(courses, walked);
    // Windows of every length from every fix, added up in turn.
    for (int first = 1; first <= n; ++first) {
        CourseVector expected;
        for (int last = first; last <= std::min(n, first + 40); ++last) {
            expected.north += walked[last].vector.north;
            expected.east += walked[last].vector.east;
            const CourseVector sum = courses.sum(first, last);
            ASSERT_EQ(sum.north, expected.north) << "fixes " << first << " to " << last;
            ASSERT_EQ(sum.east, expected.east) << "fixes " << first << " to " << last;
        }
    }
}

TEST(SteadyCourses, AsTheWalkAlongATrackInTimeOrder)
{
    const BoatEntry boat = irregularTrack();
    ASSERT_EQ(boat.sampleCount(), 137);
    expectTheWalk(boat);
}

// A logger's clock that jumps back, or a fix from far ahead, puts fixes out
// of time order; their neighbours' courses then depend on the walk so far.
TEST(SteadyCourses, AsTheWalkAlongATrackOutOfTimeOrder)
{
    for (const auto &[fix, shift] : {std::pair{20, -10.0}, {30, -1.5}, {40, 3.0}, {120, 5000.0}}) {
        SCOPED_TRACE(fix);
        BoatEntry boat = irregularTrack();
        boat.samples[fix].time += shift;
        expectTheWalk(boat);
    }
}

// Fixes too far apart to make a course good keep their own, whatever they
// hold: a float cannot hold most of these as they are.
TEST(SteadyCourses, OwnCoursesOfAnyValue)
{
    BoatEntry boat;
    double t = 0;
    for (const double heading : {45.0, 1e10 + 0.5, 45.1234567891, -720.25, 359.9999999, 360.0})
        boat.samples.push_back({t += 30, 2000, 8000 + t / 1000, 5, heading});
    expectTheWalk(boat);
}

TEST(SteadyCourses, ShortTracks)
{
    BoatEntry boat;
    expectTheWalk(boat);
    boat.samples.push_back({0, 2000, 8000, 5, 90});
    expectTheWalk(boat);
    boat.samples.push_back({1, 2000, 8000.001, 5, 90});
    boat.samples.push_back({2, 2000, 8000.002, 5, 90});
    expectTheWalk(boat);
}

}  // namespace
}  // namespace keelrun
