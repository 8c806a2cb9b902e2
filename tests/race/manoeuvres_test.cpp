// Tacks and gybes from tracks sailed on paper, the cost of a slow tack, the
// wind read from the turns, and the wobbles that are no manoeuvres.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "race/manoeuvres.h"
#include "race/plane.h"

namespace keelrun {
namespace {

constexpr double kDegree = M_PI / 180;

// A boat that sails `legs` of (heading, seconds) at `knots`, turning from one
// heading to the next over `turnSeconds` at a third of its speed and picking
// up speed again over `recoverSeconds`, a fix every `interval` seconds.
BoatEntry sail(std::vector<std::pair<double, double>> legs, double knots, double turnSeconds, int interval,
               double recoverSeconds = 0)
{
    BoatEntry boat;
    boat.fixInterval = interval;
    struct Second {
        double time, heading, share;
    };
    std::vector<Second> plan;
    double t = 0;
    for (std::size_t k = 0; k < legs.size(); ++k) {
        for (double s = 0; s < legs[k].second; ++s) {
            const double share = k > 0 && s < recoverSeconds ? 1.0 / 3 + 2.0 / 3 * s / recoverSeconds : 1.0;
            plan.push_back({t++, legs[k].first, share});
        }
        if (k + 1 < legs.size()) {
            const double turn = signedAngle(legs[k + 1].first - legs[k].first);
            for (double s = 1; s <= turnSeconds; ++s)
                plan.push_back({t++, legs[k].first + turn * s / (turnSeconds + 1), 1.0 / 3});
        }
    }
    const double cosLat = 0.8;
    double lat = 2000, lon = 8000;
    for (const auto &[time, heading, share] : plan) {
        const double speed = knots * share;
        if (static_cast<int>(time) % interval == 0)
            boat.samples.push_back({time, lat, lon, speed, std::fmod(heading + 360, 360)});
        const double metres = speed * 1852 / 3600;
        lat += metres * std::cos(heading * kDegree) / kMetresPerMinute;
        lon += metres * std::sin(heading * kDegree) / (kMetresPerMinute * cosLat);
    }
    return boat;
}

RaceState northWind()
{
    RaceState race;
    race.windDirection = 0;
    race.extent.cosLat = 0.8;
    race.windowStart = 0;
    race.windowEnd = 1200;
    return race;
}

TEST(Manoeuvres, ATackAtOneFixASecond)
{
    const RaceState race = northWind();
    const BoatEntry boat = sail({{315, 120}, {45, 120}}, 6, 10, 1);
    const auto found = detectManoeuvres(race, boat, raceWind(race));
    ASSERT_EQ(found.size(), 1u);
    const Manoeuvre &m = found[0];
    EXPECT_EQ(m.kind, Manoeuvre::Tack);
    EXPECT_NEAR(m.time, 125, 2);
    EXPECT_EQ(m.headingIn, 315);
    EXPECT_EQ(m.headingOut, 45);
    EXPECT_DOUBLE_EQ(m.speedIn, 6);
    EXPECT_FALSE(m.atMark);
    EXPECT_GT(m.duration, 5);
    EXPECT_LT(m.duration, 15);
    // Through the turn the boat points away from its close-hauled course: it
    // makes less ground to windward than it would have sailing on.
    EXPECT_GT(m.lossMetres, 0);
    EXPECT_NEAR(m.lossSeconds, m.lossMetres / (6 * 1852.0 / 3600 * std::cos(45 * kDegree)), 1e-9);
}

TEST(Manoeuvres, AGybeAndTheWindFromBothTurns)
{
    RaceState race = northWind();
    const BoatEntry boat = sail({{315, 120}, {45, 120}, {150, 120}, {210, 120}}, 6, 10, 1);
    const auto found = detectManoeuvres(race, boat, raceWind(race));
    ASSERT_EQ(found.size(), 2u);  // the bear-away from 45 to 150 keeps the wind on the same side
    EXPECT_EQ(found[1].kind, Manoeuvre::Gybe);
    EXPECT_EQ(found[1].headingIn, 150);
    EXPECT_EQ(found[1].headingOut, 210);

    race.boatCount = 1;
    race.boats[1].manoeuvres = found;
    const auto wind = estimateWind(race);
    ASSERT_FALSE(wind.empty());
    EXPECT_EQ(wind.front().time, 0);
    for (const WindEstimate &w : wind)
        EXPECT_TRUE(w.twd == 0 || w.twd == 359 || w.twd == 1) << w.time << " " << w.twd;
}

// A boat slow out of its tack loses until it is up to speed again, not
// only while it turns.
TEST(Manoeuvres, TheLossRunsUntilTheBoatIsUpToSpeed)
{
    const RaceState race = northWind();
    const auto quick = detectManoeuvres(race, sail({{315, 120}, {45, 120}}, 6, 10, 1), raceWind(race));
    const auto slow = detectManoeuvres(race, sail({{315, 120}, {45, 120}}, 6, 10, 1, 20), raceWind(race));
    ASSERT_EQ(quick.size(), 1u);
    ASSERT_EQ(slow.size(), 1u);
    EXPECT_GT(slow[0].duration, quick[0].duration + 15);
    // Twenty seconds from a third of the speed to the full: a third of the
    // way lost over those seconds, some 8 s of sailing on.
    EXPECT_NEAR(slow[0].lossSeconds - quick[0].lossSeconds, 20.0 / 3, 2);
}

// A boat sailing three times the reference speed turns three times as
// quickly: its tacks sixteen seconds apart are each found, where a boat as
// slow as the reference is not taken to settle on a course between them.
TEST(Manoeuvres, AFastBoatsQuickTacks)
{
    const RaceState race = northWind();
    const std::vector<std::pair<double, double>> legs = {{315, 120}, {45, 16}, {315, 16}, {45, 16}, {315, 120}};
    const auto fast = detectManoeuvres(race, sail(legs, 24, 2, 1), raceWind(race));
    ASSERT_EQ(fast.size(), 4u);
    for (const Manoeuvre &m : fast)
        EXPECT_EQ(m.kind, Manoeuvre::Tack);
    EXPECT_LT(detectManoeuvres(race, sail(legs, 7, 2, 1), raceWind(race)).size(), 4u);
    // The median speed tells the pace: with half the fixes logged at the
    // slower speed it is still the faster one, with one more it is not.
    BoatEntry halfSlow = sail(legs, 24, 2, 1);
    const int n = halfSlow.sampleCount();
    ASSERT_EQ(n % 2, 0);
    for (int i = 1; i <= n; ++i)
        halfSlow.samples[i].speed = i % 2 ? 7 : 24;
    EXPECT_EQ(detectManoeuvres(race, halfSlow, raceWind(race)).size(), 4u);
    halfSlow.samples[2].speed = 7;
    EXPECT_LT(detectManoeuvres(race, halfSlow, raceWind(race)).size(), 4u);
}

// A boat that lies head to wind between its tacks has courses on neither
// side of it there: the wind changes side across the whole stretch, and the
// tack is found in its middle.
TEST(Manoeuvres, HeadToWindBetweenTheTacks)
{
    const RaceState race = northWind();
    const auto found = detectManoeuvres(race, sail({{315, 120}, {0, 10}, {45, 120}, {315, 120}}, 6, 2, 1), raceWind(race));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].headingIn, 315);
    EXPECT_EQ(found[0].headingOut, 45);
    EXPECT_NEAR(found[0].time, 127, 1);  // head to wind from 122 s to 132 s
    EXPECT_EQ(found[1].headingIn, 45);
    EXPECT_EQ(found[1].headingOut, 315);
    EXPECT_NEAR(found[1].time, 255, 1);
}

// Fixes 30 seconds apart still show the tack; wobbles of a boat running
// dead downwind, the wind crossing from side to side, are no gybes.
TEST(Manoeuvres, SparseFixesAndWobbles)
{
    const RaceState race = northWind();
    EXPECT_EQ(detectManoeuvres(race, sail({{315, 300}, {45, 300}}, 6, 10, 30), raceWind(race)).size(), 1u);
    std::vector<std::pair<double, double>> wobbles;
    for (int k = 0; k < 20; ++k)
        wobbles.push_back({k % 2 ? 172 : 188, 15});
    EXPECT_TRUE(detectManoeuvres(race, sail(wobbles, 6, 2, 1), raceWind(race)).empty());
}

// Before its start and after its finish a boat's turns are no part of the race.
TEST(Manoeuvres, OnlyBetweenStartAndFinish)
{
    RaceState race = northWind();
    race.course = {"L1", "MK1", "L1"};
    BoatEntry boat = sail({{315, 120}, {45, 120}, {315, 120}}, 6, 10, 1);
    ASSERT_EQ(detectManoeuvres(race, boat, raceWind(race)).size(), 2u);
    boat.roundingTime[1] = 200;  // started between the two tacks
    EXPECT_EQ(detectManoeuvres(race, boat, raceWind(race)).size(), 1u);
    boat.roundingTime[3] = 220;  // and finished straight away
    EXPECT_TRUE(detectManoeuvres(race, boat, raceWind(race)).empty());
}

// Between two tacks each fix tells the wind: its course less the angle the
// boat sails off the wind, on the side the tack before left it. Where every
// reading within reach of an estimate says the same, the estimate is that.
TEST(Manoeuvres, TheWindBetweenTacksIsEachCourseLessTheAngleOffIt)
{
    RaceState race = northWind();
    race.windowEnd = 1800;
    race.boatCount = 1;
    BoatEntry &boat = race.boats[1];
    const auto tack = [](double time, int in, int out) {
        Manoeuvre m;
        m.kind = Manoeuvre::Tack;
        m.time = time;
        m.headingIn = in;
        m.headingOut = out;
        return m;
    };
    boat.manoeuvres = {tack(100, 320, 40), tack(700, 40, 320), tack(1300, 320, 40)};  // 40 degrees off a north wind
    boat.samples.push_back({});
    for (double t = 0; t <= 1800; ++t)
        boat.samples.push_back({t, 2000, 8000, 6, t < 700 ? 43.0 : 317.0});  // wind 3 degrees right of north, then left
    const auto wind = estimateWind(race);
    const auto at = [&](double time) {
        for (const WindEstimate &w : wind) {
            if (w.time == time)
                return w.twd;
        }
        return -1;
    };
    EXPECT_EQ(at(420), 3);
    EXPECT_EQ(at(1020), 357);
}

// A tack within a minute of a rounding is marked at the mark; with no wind
// records the second pass reads the wind from the fleet.
TEST(Manoeuvres, AtTheMarkAndTheFleet)
{
    RaceState race = northWind();
    race.windDirection = 20;  // the race file's mean wind is off by 20 degrees
    race.course = {"L1", "MK1", "L1"};
    race.boatCount = 2;
    race.boats[1] = sail({{315, 120}, {45, 120}}, 6, 10, 1);
    race.boats[1].roundingTime[2] = 150;
    race.boats[2] = sail({{315, 200}, {45, 100}}, 5, 8, 2);
    findManoeuvres(race);
    ASSERT_EQ(race.boats[1].manoeuvres.size(), 1u);
    EXPECT_TRUE(race.boats[1].manoeuvres[0].atMark);
    ASSERT_EQ(race.boats[2].manoeuvres.size(), 1u);
    EXPECT_FALSE(race.boats[2].manoeuvres[0].atMark);
    ASSERT_FALSE(race.estimatedWind.empty());
    EXPECT_NEAR(signedAngle(race.estimatedWind.front().twd), 0, 1);
    EXPECT_NEAR(signedAngle(analysisWind(race)(100)), 0, 1);  // the analysis now uses the fleet's wind
}

// The fleet's wind at a time is the estimate at or after it (the last one
// after the end), for every time the analysis may ask of it: on an estimate,
// a hair either side of one, before the first and past the last, and where
// the estimates are not evenly spaced.
TEST(Manoeuvres, TheFleetsWindIsTheEstimateAtOrAfterTheTime)
{
    RaceState race;
    race.windSamples.resize(1);  // no records: the analysis reads the fleet's wind
    for (const std::vector<double> &times : {std::vector<double>{-120, -60, 0, 60, 120, 180, 240},
                                             std::vector<double>{-120, -50, 0, 130, 131, 600}}) {
        race.estimatedWind.clear();
        for (std::size_t k = 0; k < times.size(); ++k)
            race.estimatedWind.push_back({times[k], static_cast<int>(10 * k + 5)});
        const auto expected = [&](double t) {
            for (const WindEstimate &e : race.estimatedWind) {
                if (e.time >= t)
                    return double(e.twd);
            }
            return double(race.estimatedWind.back().twd);
        };
        const WindDirectionAt wind = analysisWind(race);
        for (double t = -300; t <= 700; t += 0.25) {
            for (const double at : {t, std::nextafter(t, -1e9), std::nextafter(t, 1e9)})
                EXPECT_EQ(wind(at), expected(at)) << at;
        }
    }
}

}  // namespace
}  // namespace keelrun
