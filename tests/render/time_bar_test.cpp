// The time bar's rows and picture.

#include <gtest/gtest.h>

#include "render/time_bar.h"

namespace keelrun {
namespace {

// A window from -190 s to 3630 s; boat 1 sails upwind (heading into the
// northerly wind) until 1000 s, then downwind; all in daylight.
class TimeBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        race.windowStart = -190;
        race.windowEnd = 3630;
        race.windowLength = 3820;
        race.windDirection = 0;
        race.daylight = {6 * 3600.0, 18 * 3600.0, 12 * 3600.0};
        race.boatCount = 1;
        for (int t = -100; t <= 3500; t += 10)
            race.boats[1].samples.push_back({double(t), 0, 0, 5, t < 1000 ? 10.0 : 170.0});
    }
    QColor stripAt(const QImage &bar, double t) const
    {
        const TimeBarGeometry g(bar.size());
        return bar.pixelColor(g.strip.left() + 10, g.strip.top() + stripRowOfTime(t, g.stripHeight(), race));
    }
    RaceState race;
};

TEST_F(TimeBarTest, RowsAndTimes)
{
    const int h = 940;
    EXPECT_EQ(timeAtStripRow(0, h, race), 3630);
    EXPECT_EQ(timeAtStripRow(h, h, race), -190);
    EXPECT_EQ(stripRowOfTime(3630, h, race), 0);
    EXPECT_EQ(stripRowOfTime(-190, h, race), h - 1);
    EXPECT_EQ(pointerTop(3630, h, race), 28);
    EXPECT_EQ(pointerTop(-190, h, race), h + 28);
    EXPECT_EQ(pointerTop(1720, h, race), 470 + 28);
}

TEST_F(TimeBarTest, ClicksOffTheStripAreClamped)
{
    const int h = 940;
    EXPECT_EQ(clickedTime(h + 20, h, race), -190);          // below: the start of the window
    EXPECT_EQ(clickedTime(-5, h, race), 3630 - 100);        // above: 100 s before the end
    EXPECT_EQ(clickedTime(0, h, race), 3630 - 100);         // the top row too
    EXPECT_EQ(clickedTime(470, h, race), 1720);
    EXPECT_TRUE(onStartButton(1000 - 20, QSize(50, 1000)));
    EXPECT_FALSE(onStartButton(1000 - 40, QSize(50, 1000)));
}

TEST_F(TimeBarTest, ZonesGunDayAndStart)
{
    const QImage bar = drawTimeBar(race, QSize(50, 1000));
    EXPECT_EQ(stripAt(bar, 500), QColor(255, 255, 255));   // upwind
    EXPECT_EQ(stripAt(bar, 2000), QColor(192, 192, 255));  // downwind
    EXPECT_EQ(stripAt(bar, 3600), QColor(192, 192, 255));  // after boat 1's last fix: as it last sailed
    EXPECT_EQ(stripAt(bar, 0), QColor(255, 0, 0));         // the gun
    EXPECT_EQ(bar.pixelColor(3, 500), QColor(255, 255, 192));  // day
    EXPECT_EQ(bar.pixelColor(42, 1000 - 22), QColor(255, 0, 0));  // START
}

TEST_F(TimeBarTest, NightIsDarkBlueAndBoatOneWithoutFixesLeavesTheStripPlain)
{
    race.daylight = {6 * 3600.0, 18 * 3600.0, 0};  // the gun at midnight
    race.boats[1].samples.resize(1);
    const QImage bar = drawTimeBar(race, QSize(50, 1000));
    EXPECT_EQ(bar.pixelColor(3, 500), QColor(0, 0, 192));
    EXPECT_EQ(stripAt(bar, 2000), QColor(225, 225, 255));
}

// Ticks of the race clock as close as their labels allow: on a 3820-s
// window five minutes apart on a tall bar, ten on a short one.
TEST_F(TimeBarTest, ClockTicksAtAStepTheirLabelsFit)
{
    EXPECT_EQ(clockTickStep(3820, 940), 300);
    EXPECT_EQ(clockTickStep(3820, 300), 600);
    EXPECT_EQ(clockTickStep(7 * 86400, 300), 4 * 3600);  // a week: no finer than the longest step
    EXPECT_EQ(clockTickText(600), "0:10");
    EXPECT_EQ(clockTickText(3900), "1:05");
    const QImage bar = drawTimeBar(race, QSize(50, 1000));
    const TimeBarGeometry g(bar.size());
    EXPECT_EQ(bar.pixelColor(g.strip.left() + 2, g.strip.top() + stripRowOfTime(600, g.stripHeight(), race)), QColor(Qt::black));
    EXPECT_NE(bar.pixelColor(g.strip.left() + 2, g.strip.top() + stripRowOfTime(500, g.stripHeight(), race)), QColor(Qt::black));
}

// The leader's rounding of each item crosses the strip in grey; the
// highlighted boat's roundings are marked at the right in its colour.
TEST_F(TimeBarTest, TheLeadersAndTheHighlightedBoatsRoundings)
{
    race.course = {"L1", "MK1", "L1"};
    race.results.firstPassTime[2] = 1200;
    race.results.firstPassTime[3] = 2400;
    race.boatCount = 2;
    race.boats[2].colour = {0, 200, 0};
    race.boats[2].roundingTime[2] = 1500;
    race.boats[2].roundingTime[3] = 2700;
    const QImage plain = drawTimeBar(race, QSize(50, 1000));
    const QImage marked = drawTimeBar(race, QSize(50, 1000), 2);
    const TimeBarGeometry g(plain.size());
    const auto at = [&](const QImage &bar, int x, double t) {
        return bar.pixelColor(g.strip.left() + x, g.strip.top() + stripRowOfTime(t, g.stripHeight(), race));
    };
    EXPECT_EQ(at(plain, 20, 1200), QColor(60, 60, 60));
    EXPECT_EQ(at(plain, 20, 2400), QColor(60, 60, 60));
    EXPECT_NE(at(plain, 26, 1500), QColor(0, 200, 0));
    EXPECT_EQ(at(marked, 26, 1500), QColor(0, 200, 0));
    EXPECT_EQ(at(marked, 26, 2700), QColor(0, 200, 0));
}

}  // namespace
}  // namespace keelrun
