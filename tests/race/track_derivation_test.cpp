#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "race/track_derivation.h"

namespace keelrun {
namespace {

// Boat 1 sails the given (lat, lon) points, one every 10 s from the gun; the
// race area is at the equator (cosLat 1).
RaceState raceWith(std::initializer_list<GeoPoint> points)
{
    RaceState race;
    race.boatCount = 1;
    race.extent.cosLat = 1;
    double t = 0;
    for (const GeoPoint &p : points) {
        race.boats[1].samples.push_back({t, p.lat, p.lon, 0, 0});
        t += 10;
    }
    return race;
}

const auto &samplesOf(const RaceState &race) { return race.boats[1].samples; }

// Boat 1's track derived; its top speed.
double derive(RaceState &race) { return deriveBoatTrack(race.boats[1], race.courseLength(), race.extent.cosLat); }

TEST(TrackDerivation, FewerThanSixSamplesKeepZeros)
{
    RaceState race = raceWith({{0, 0}, {0.01, 0}, {0.02, 0}, {0.03, 0}, {0.04, 0}});
    derive(race);
    for (const TrackSample &s : samplesOf(race)) {
        EXPECT_EQ(s.speed, 0);
        EXPECT_EQ(s.heading, 0);
    }
}

TEST(TrackDerivation, SpeedSmoothsOverThreeSegmentsAndHeadingIsTheNextFix)
{
    // 0.01 minute (18.52 m) every 10 s is 3.6 knots, heading north-east then east.
    RaceState race = raceWith({{0, 0}, {0.01, 0.01}, {0.02, 0.02}, {0.02, 0.03}, {0.02, 0.04}, {0.02, 0.05}, {0.02, 0.06}});
    const double topSpeed = derive(race);
    const auto &s = samplesOf(race);
    EXPECT_EQ(s[1].heading, 45);
    EXPECT_EQ(s[3].heading, 90);
    EXPECT_EQ(s[7].heading, 90);  // the last fix has no next one: it keeps the course sailed
    EXPECT_NEAR(s[5].speed, 3.6, 1e-9);
    // Sample 1: path from fix 1 to fix 3 (two diagonal segments) over 20 s.
    EXPECT_NEAR(s[1].speed, 2 * 0.01 * std::sqrt(2.0) * 1852 / 20 * 3.6 / 1.852, 1e-9);
    EXPECT_EQ(s[7].speed, s[6].speed);
    EXPECT_NEAR(topSpeed, s[1].speed, 1e-9);
}

// A logger switched off for two hours: no course or speed is taken across
// the gap, which would have the boat crawl from where it stopped to where it
// started again.
TEST(TrackDerivation, NothingIsDerivedAcrossAGap)
{
    RaceState race = raceWith({{0, 0}, {0.01, 0}, {0.02, 0}, {0.03, 0}});
    for (int k = 0; k < 4; ++k)
        race.boats[1].samples.push_back({7200.0 + 10 * k, 1, 0.01 * k, 0, 0});
    derive(race);
    const auto &s = samplesOf(race);
    EXPECT_EQ(s[3].heading, 0);
    EXPECT_NEAR(s[3].speed, 3.6, 1e-9);  // over its two segments before the gap
    EXPECT_EQ(s[4].heading, 0);          // the last fix before the gap keeps its course and speed
    EXPECT_NEAR(s[4].speed, 3.6, 1e-9);
    EXPECT_EQ(s[5].heading, 90);
    EXPECT_NEAR(s[5].speed, 3.6, 1e-9);
}

TEST(TrackDerivation, StandingStillKeepsTheHeading)
{
    RaceState race = raceWith({{0, 0}, {0, 0}, {0, 0.01}, {0, 0.01}, {0, 0.01}, {0.01, 0.01}, {0.02, 0.01}});
    derive(race);
    const auto &s = samplesOf(race);
    EXPECT_EQ(s[1].heading, 0);  // no previous course at the first fix
    EXPECT_EQ(s[2].heading, 90);
    EXPECT_EQ(s[3].heading, 90);
    EXPECT_EQ(s[4].heading, 90);
    EXPECT_EQ(s[5].heading, 0);
}

// A boat sailing north at 45 knots, one fix a second: 0.0125 minutes of
// latitude (23.15 m) a fix.
RaceState foilerAt45Knots(int fixes)
{
    RaceState race;
    race.boatCount = 1;
    race.extent.cosLat = 1;
    for (int i = 0; i < fixes; ++i)
        race.boats[1].samples.push_back({double(i), 0.0125 * i, 0, 0, 0});
    return race;
}

// The top speed is what a boat held, not a ceiling: a fast boat's is its
// own, and a fix flung far off the track by the GPS is no speed at all.
TEST(TrackDerivation, TopSpeedIsWhatABoatHeld)
{
    RaceState race = foilerAt45Knots(30);
    EXPECT_NEAR(derive(race), 45, 1e-9);

    race = foilerAt45Knots(30);
    race.boats[1].samples[15].lon += 0.108;  // 200 m off, for one fix: 390 knots there and back
    EXPECT_NEAR(derive(race), 45, 1e-9);
    race = foilerAt45Knots(30);
    race.boats[1].samples[2].lon += 0.108;  // near the start of the track
    race.boats[1].samples[29].lon += 0.108;  // and near its end
    EXPECT_NEAR(derive(race), 45, 1e-9);
}

// A logger writing eight fixes a second: the boat sails north at 4 knots
// for ten seconds, then at 8. Its fixes are a few decimetres apart, so each
// speed is taken over a second and a half, the three segments' worth at half
// a second each, widened ahead and back in turn.
RaceState fastLoggerStepping(int fixes)
{
    RaceState race;
    race.boatCount = 1;
    race.extent.cosLat = 1;
    BoatEntry &boat = race.boats[1];
    boat.fixInterval = 0.125;
    double lat = 0;
    for (int k = 0; k < fixes; ++k) {
        const double t = 0.125 * k;
        boat.samples.push_back({t, lat, 0, 0, 0});
        lat += (t < 10 ? 4.0 : 8.0) * 0.125 / 3600;  // minutes of latitude: nautical miles
    }
    return race;
}

TEST(TrackDerivation, AFastLoggersSpeedsAreTakenOverASecondAndAHalf)
{
    RaceState race = fastLoggerStepping(161);
    derive(race);
    const auto &s = samplesOf(race);
    EXPECT_NEAR(s[2].speed, 4, 1e-9);
    EXPECT_NEAR(s[60].speed, 4, 1e-9);
    EXPECT_NEAR(s[120].speed, 8, 1e-9);
    // The fix at 10 s: its stretch runs from 0.625 s before it (four
    // widenings back) to 0.875 s after it (five ahead).
    ASSERT_EQ(s[81].time, 10);
    EXPECT_NEAR(s[81].speed, (0.625 * 4 + 0.875 * 8) / 1.5, 1e-9);
    // The first fix's stretch can only widen ahead: a second, two segments'
    // worth, all at 4 knots; the last's speed is the one before it.
    EXPECT_NEAR(s[1].speed, 4, 1e-9);
    EXPECT_EQ(s[161].speed, s[160].speed);
    EXPECT_NEAR(s[160].speed, 8, 1e-9);
    for (int i = 1; i <= 161; ++i)
        EXPECT_EQ(s[i].heading, 0) << i;
}

// A stretch stops at a gap in the track, and one as long as the piece
// between gaps takes the whole piece.
TEST(TrackDerivation, AFastLoggersStretchesStopAtGaps)
{
    RaceState race = fastLoggerStepping(40);  // 4 knots throughout, 5 s
    auto &samples = race.boats[1].samples;
    for (int k = 0; k < 8; ++k)  // an hour and a quarter later, a second at 8 knots
        samples.push_back({4500 + 0.125 * k, 1 + 8.0 * 0.125 / 3600 * k, 0, 0, 0});
    derive(race);
    const auto &s = samplesOf(race);
    EXPECT_NEAR(s[38].speed, 4, 1e-9);
    EXPECT_NEAR(s[39].speed, 4, 1e-9);
    EXPECT_NEAR(s[41].speed, 8, 1e-9);
    EXPECT_NEAR(s[44].speed, 8, 1e-9);
}

class LegDistanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // North along longitude 0 at 0.01 minute per 10 s, from the gun.
        race = raceWith({{0, 0}, {0.01, 0}, {0.02, 0}, {0.03, 0}, {0.04, 0}, {0.05, 0}, {0.06, 0}});
        race.course = {"L1", "MK1", "MK2"};
        auto &t = race.boats[1].roundingTime;
        t[1] = 3;
        t[2] = 25;
        t[3] = 55;
    }
    RaceState race;
};

TEST_F(LegDistanceTest, LegsIncludeThePiecesAtEitherEnd)
{
    derive(race);
    const auto &d = race.boats[1].legDistance;
    EXPECT_NEAR(d[1], 0.025 * 1852, 1e-9);  // from the gun (0 s) to 25 s
    EXPECT_NEAR(d[2], 0.030 * 1852, 1e-9);  // 25 s to 55 s
    EXPECT_NEAR(d[3], 0.055 * 1852, 1e-9);  // the whole race
}

TEST_F(LegDistanceTest, LegEndingAfterTheLastFixRunsToIt)
{
    race.boats[1].roundingTime[3] = 500;
    derive(race);
    EXPECT_NEAR(race.boats[1].legDistance[2], 0.035 * 1852, 1e-9);
}

TEST_F(LegDistanceTest, NonFinishersGetZeros)
{
    race.boats[1].roundingTime[3] = kNotReached;
    derive(race);
    EXPECT_EQ(race.boats[1].legDistance[1], 0);
    EXPECT_EQ(race.boats[1].legDistance[3], 0);

    race.boats[1].roundingTime[3] = 55;
    race.boats[1].roundingTime[2] = kNotReached;
    derive(race);
    EXPECT_EQ(race.boats[1].legDistance[1], 0);
    EXPECT_EQ(race.boats[1].legDistance[2], 0);
    EXPECT_GT(race.boats[1].legDistance[3], 0);
}

// The replay ends a minute after the finish; the legs are measured on the
// whole track, so they are what they were.
TEST_F(LegDistanceTest, TrackEndsAMinuteAfterTheFinish)
{
    for (double t = 70; t <= 200; t += 10)
        race.boats[1].samples.push_back({t, 0.06, 0, 0, 0});
    derive(race);
    const auto &s = samplesOf(race);
    ASSERT_EQ(race.boats[1].sampleCount(), 12);  // 0 s to 110 s; the finish is at 55 s
    EXPECT_EQ(s.back().time, 110);
    EXPECT_NEAR(race.boats[1].legDistance[3], 0.055 * 1852, 1e-9);

    race.boats[1].roundingTime[3] = kNotReached;  // no finish, nothing cut
    race.boats[1].samples.push_back({120, 0.06, 0, 0, 0});
    derive(race);
    EXPECT_EQ(race.boats[1].sampleCount(), 13);
}

TEST_F(LegDistanceTest, LegsAcrossAGapAreNotKnown)
{
    for (auto &s : race.boats[1].samples)
        s.time = s.time >= 30 ? s.time + 7200 : s.time;
    auto &t = race.boats[1].roundingTime;
    t[2] = 15;
    t[3] = 7255;
    derive(race);
    EXPECT_NEAR(race.boats[1].legDistance[1], 0.015 * 1852, 1e-9);
    EXPECT_EQ(race.boats[1].legDistance[2], 0);
    EXPECT_EQ(race.boats[1].legDistance[3], 0);
}

// A track in time order is searched by halves for the fixes a leg starts
// and ends between; any other is walked fix by fix. Both find the same
// fixes, also where a leg ends on a fix or two fixes share a time: a fix out
// of order after the finish sends the same track the walking way.
TEST_F(LegDistanceTest, TracksInAndOutOfTimeOrderFindTheSameFixes)
{
    auto &samples = race.boats[1].samples;
    samples[4].time = samples[3].time;  // two fixes at 20 s
    for (const double finish : {40.0, 50.0, 55.0, 59.9}) {
        for (const double mark : {10.0, 20.0, 20.5, 30.0}) {
            auto &t = race.boats[1].roundingTime;
            t[2] = mark;
            t[3] = finish;
            RaceState walked = race;
            walked.boats[1].samples.push_back({1, 0.5, 0.5, 0, 0});
            derive(race);
            derive(walked);
            for (int leg = 1; leg <= 3; ++leg)
                EXPECT_EQ(race.boats[1].legDistance[leg], walked.boats[1].legDistance[leg]) << mark << " " << finish << " " << leg;
        }
    }
}

}  // namespace
}  // namespace keelrun
