#include <gtest/gtest.h>

#include "replay/frame_state.h"

namespace keelrun {
namespace {

// One boat with fixes at the given times (s), sailing north, headings given.
RaceState raceWith(std::initializer_list<std::pair<double, double>> timesAndHeadings)
{
    RaceState race;
    race.boatCount = 1;
    double lat = 0;
    for (const auto &[time, heading] : timesAndHeadings) {
        race.boats[1].samples.push_back({time, lat, 0, 4, heading});
        lat += 0.01;
    }
    return race;
}

TEST(FrameState, GapOfMoreThanAnHourHasNoPosition)
{
    const RaceState race = raceWith({{0, 0}, {10, 0}, {3621, 0}, {3631, 0}});
    FrameState frame = newFrameState(race);
    placeBoats(frame, race, 5);
    EXPECT_TRUE(frame.boats[1].hasPosition);
    EXPECT_DOUBLE_EQ(frame.boats[1].lat, 0.005);
    EXPECT_EQ(frame.boatsInPlay, 1);
    placeBoats(frame, race, 100);
    EXPECT_FALSE(frame.boats[1].hasPosition);
    EXPECT_EQ(frame.boatsInPlay, 0);
    placeBoats(frame, race, 3625);
    EXPECT_TRUE(frame.boats[1].hasPosition);
    placeBoats(frame, race, 3631);  // past the last fix
    EXPECT_FALSE(frame.boats[1].hasPosition);
    placeBoats(frame, race, 2);  // searching wraps round to the first segment
    EXPECT_TRUE(frame.boats[1].hasPosition);
    EXPECT_EQ(frame.boats[1].currentSample, 1);
}

TEST(FrameState, HeadingTurnsTheShortWayInTheFirstSecond)
{
    const RaceState race = raceWith({{0, 340}, {10, 350}, {20, 10}, {30, 10}});
    FrameState frame = newFrameState(race);
    const std::pair<double, int> expected[] = {{20, 350}, {20.25, 355}, {20.5, 0}, {20.75, 5}, {21, 10}, {25, 10}};
    for (const auto &[now, heading] : expected) {
        placeBoats(frame, race, now);
        EXPECT_EQ(frame.boats[1].heading, heading) << now;
    }
}

// Ten fixes a second: the heading turns over the tenth of a second to the
// next fix, and a jump on the time bar, back or forward, finds the segment.
TEST(FrameState, TenFixesASecondTurnAndJump)
{
    RaceState race;
    race.boatCount = 1;
    for (int k = 0; k <= 6000; ++k)
        race.boats[1].samples.push_back({k / 10.0, k * 0.001, 0, 4, k < 3000 ? 10.0 : 50.0});
    FrameState frame = newFrameState(race);
    placeBoats(frame, race, 300.05);  // half way from the fix at 300.0 (heading 50) to the next
    EXPECT_EQ(frame.boats[1].heading, 30);
    placeBoats(frame, race, 300.09);
    EXPECT_EQ(frame.boats[1].heading, 46);
    for (const double t : {555.55, 12.34, 599.95, 0.0, 300.0, 123.45}) {
        placeBoats(frame, race, t);
        ASSERT_TRUE(frame.boats[1].hasPosition) << t;
        EXPECT_NEAR(frame.boats[1].lat, t / 100, 1e-9) << t;
    }
}

TEST(FrameState, WithoutWindRecordsTheMeanWindBlowsAtFiveKnots)
{
    RaceState race;
    race.windDirectionValue = 200;
    race.magneticVariation = -7.4;
    WindInFrame wind;
    updateWind(wind, race, 100);
    EXPECT_EQ(wind.direction, 200);
    EXPECT_EQ(wind.speed, 5.0);
    EXPECT_EQ(wind.displayTwd, 193);
    EXPECT_DOUBLE_EQ(wind.smoothedDirection, 200);
}

TEST(FrameState, WindIsInterpolatedAcrossNorthAndSmoothed)
{
    RaceState race;
    race.windSamples = {{}, {0, 10, 350}, {100, 20, 10}};
    WindInFrame wind;
    updateWind(wind, race, 50);
    EXPECT_EQ(wind.direction, 360);  // north, written as the records write it
    EXPECT_DOUBLE_EQ(wind.speed, 15);
    updateWind(wind, race, 75);
    EXPECT_EQ(wind.direction, 5);
    EXPECT_DOUBLE_EQ(wind.speed, 17.5);
    EXPECT_NEAR(wind.smoothedSpeed, 0.95 * 15 + 0.05 * 17.5, 1e-12);
    updateWind(wind, race, -50);
    EXPECT_EQ(wind.direction, 350);
    updateWind(wind, race, 500);
    EXPECT_EQ(wind.direction, 10);
}

TEST(FrameState, CalmRecordsRestartTheSmoothedSpeed)
{
    RaceState race;
    race.windSamples = {{}, {0, 0, 90}, {100, 0, 90}};
    WindInFrame wind;
    updateWind(wind, race, 50);
    EXPECT_EQ(wind.speed, 0);
    EXPECT_EQ(wind.smoothedSpeed, 0);
}

// Two boats a minute of latitude apart, sailing north.
RaceState twoBoats()
{
    RaceState race = raceWith({{0, 0}, {10, 0}, {20, 0}});
    race.boatCount = 2;
    race.boats[2] = race.boats[1];
    for (TrackSample &s : race.boats[2].samples)
        s.lat += 1;
    race.boats[2].shown = 0;  // the race file hides boat 2
    race.extent.cosLat = 1;
    return race;
}

TEST(FrameState, ComputedFrameFollowsTheTickedBoats)
{
    const RaceState race = twoBoats();
    FrameState frame = newFrameState(race);
    FrameRequest request;
    request.now = 5;
    request.mapSize = QSize(800, 600);
    computeFrame(frame, race, request);
    EXPECT_EQ(frame.now, 5);
    EXPECT_EQ(frame.boatsInPlay, 2);
    EXPECT_TRUE(frame.boats[1].shown);
    EXPECT_FALSE(frame.boats[2].shown);  // as the race file says
    EXPECT_DOUBLE_EQ(frame.view.centreLat, frame.boats[1].lat);
    EXPECT_FALSE(frame.tickAll);

    request.shown = {false, false, true};  // the boat list ticks only boat 2
    computeFrame(frame, race, request);
    EXPECT_DOUBLE_EQ(frame.view.centreLat, frame.boats[2].lat);
    EXPECT_EQ(frame.view.mapSize, QSize(800, 600));

    request.shown = {false, false, false};
    computeFrame(frame, race, request);
    EXPECT_TRUE(frame.tickAll);
    request.now = 50;  // after the last fix: nobody in play, nothing to tick
    computeFrame(frame, race, request);
    EXPECT_EQ(frame.boatsInPlay, 0);
    EXPECT_FALSE(frame.tickAll);
}

}  // namespace
}  // namespace keelrun
