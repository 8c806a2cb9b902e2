#include <gtest/gtest.h>

#include "replay/playback_clock.h"
#include "replay/stopwatch.h"

namespace keelrun {
namespace {

class ClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        race.boatCount = 3;
        race.windowStart = -190;
        race.windowEnd = 1000;
        race.course = {"L1", "MK1", "L1"};
        race.results.firstPassTime[3] = 800;
        for (int b = 1; b <= 3; ++b)
            race.boats[b].roundingTime[3] = b == 3 ? kNotReached : 800;
        clock = startClock(race);
        frame = newFrameState(race);
    }
    RaceState race;
    PlaybackClock clock;
    FrameState frame;
};

TEST_F(ClockTest, StepFollowsTheFrameRate)
{
    clock.playSpeed = 10;
    clock.frameCount = 20;
    secondTick(clock, race, frame);
    EXPECT_DOUBLE_EQ(clock.clockStep, 0.5);
    EXPECT_EQ(clock.frameCount, 0);
    clock.frameCount = 3;  // too few to measure: 20 assumed
    secondTick(clock, race, frame);
    EXPECT_DOUBLE_EQ(clock.clockStep, 0.5);
    clock.frameCount = 40;
    secondTick(clock, race, frame);
    EXPECT_DOUBLE_EQ(clock.clockStep, 0.25);
}

TEST_F(ClockTest, EndsAtTheWindowEndOrBackPastItsStartOrWhenNobodyIsLeft)
{
    clock.clockStep = 2;
    clock.raceClock = 999;
    EXPECT_TRUE(advance(clock, race, 3));
    clock.raceClock = -189;
    clock.playDirection = -1;
    EXPECT_TRUE(advance(clock, race, 3));
    EXPECT_EQ(clock.raceClock, 1000);
    clock.playDirection = 1;
    clock.raceClock = 100;
    EXPECT_FALSE(advance(clock, race, 1));
    EXPECT_TRUE(advance(clock, race, 0));
    clock.raceClock = -50;
    EXPECT_FALSE(advance(clock, race, 0));  // before the start an empty course is fine
}

TEST_F(ClockTest, SingleStepsWrapAtBothEnds)
{
    clock.raceClock = 10.4;
    singleStep(clock, race, +1);
    EXPECT_EQ(clock.raceClock, 11);
    clock.raceClock = 1000;
    singleStep(clock, race, +1);
    EXPECT_EQ(clock.raceClock, -190);
    singleStep(clock, race, -1);
    EXPECT_EQ(clock.raceClock, 1000);
}

TEST_F(ClockTest, StartGunFiresOnceCrossingZeroForward)
{
    clock.previousClock = -0.3;
    clock.raceClock = 0.2;
    EXPECT_TRUE(startGun(clock));
    clock.raceClock = 0.7;
    EXPECT_FALSE(startGun(clock));
    clock.raceClock = -0.3;  // backward over the gun
    EXPECT_FALSE(startGun(clock));
    clock.previousClock = -1;
    clock.raceClock = 61;  // a jump past the first minute
    EXPECT_FALSE(startGun(clock));
}

TEST_F(ClockTest, FinishGunsFireOncePerPassAndRearmBeforeTheFirstFinisher)
{
    clock.raceClock = 790;
    EXPECT_TRUE(finishGuns(clock, race).empty());
    clock.raceClock = 800.5;
    EXPECT_EQ(finishGuns(clock, race), (std::vector<int>{1, 2}));  // equal times: both in one tick
    EXPECT_EQ(clock.finishedCount, 2);
    clock.raceClock = 900;
    EXPECT_TRUE(finishGuns(clock, race).empty());

    clock.raceClock = 700;  // rewound before the first finisher
    secondTick(clock, race, frame);
    clock.raceClock = 801;
    EXPECT_EQ(finishGuns(clock, race).size(), 2u);
    clock.raceClock = 200;
    EXPECT_TRUE(scoreBoardCleared(clock, race));
    EXPECT_EQ(clock.finishedCount, 0);
}

TEST_F(ClockTest, StartSequenceBeepsAndFlags)
{
    clock.raceClock = -250;
    SecondTick tick = secondTick(clock, race, frame);
    EXPECT_EQ(tick.beeps, 1);  // a new minute
    EXPECT_TRUE(tick.flagPanel);
    EXPECT_FALSE(tick.preparatoryFlag);
    clock.raceClock = -240;
    tick = secondTick(clock, race, frame);
    EXPECT_EQ(tick.beeps, 0);  // still minute -4
    EXPECT_TRUE(tick.preparatoryFlag);
    clock.raceClock = -20;
    tick = secondTick(clock, race, frame);
    EXPECT_EQ(tick.beeps, 2);  // the last half minute, and the new minute
    EXPECT_FALSE(tick.preparatoryFlag);
    clock.raceClock = 5;
    EXPECT_FALSE(secondTick(clock, race, frame).flagPanel);
}

TEST(Stopwatch, StartsFreezesAndGoesAway)
{
    Stopwatch watch;
    EXPECT_EQ(watch.buttonText(), "TIMER/ON");
    watch.press(-125.4);
    EXPECT_EQ(watch.state, Stopwatch::Running);
    EXPECT_EQ(watch.startedAt, -125.4);
    EXPECT_EQ(watch.buttonText(), "STOP");
    watch.press(300);
    EXPECT_EQ(watch.state, Stopwatch::Frozen);
    EXPECT_EQ(watch.startedAt, -125.4);
    EXPECT_EQ(watch.buttonText(), "TIMER/OFF");
    watch.press(400);
    EXPECT_EQ(watch.state, Stopwatch::Off);
    EXPECT_EQ(stopwatchText(3725.4), "01:02:05");
    EXPECT_EQ(stopwatchText(-65), "-00:01:05");
    EXPECT_EQ(stopwatchText(-0.4), "00:00:00");
}

}  // namespace
}  // namespace keelrun
