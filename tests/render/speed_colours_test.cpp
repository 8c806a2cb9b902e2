// Tracks coloured by speed: the ramp, the legend's ticks and where the
// legend stands on the map.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "render/map_overlays.h"
#include "render/speed_colours.h"
#include "view/window_layout.h"

namespace keelrun {
namespace {

const QColor kBlue(0, 0, 255), kCyan(0, 255, 255), kGreen(0, 255, 0), kYellow(255, 255, 0), kRed(255, 0, 0);

TEST(SpeedColour, RunsFromBlueThroughCyanGreenAndYellowToRed)
{
    const SpeedRange scale{4, 8};
    EXPECT_EQ(speedColour(4, scale), kBlue);
    EXPECT_EQ(speedColour(5, scale), kCyan);
    EXPECT_EQ(speedColour(6, scale), kGreen);
    EXPECT_EQ(speedColour(7, scale), kYellow);
    EXPECT_EQ(speedColour(8, scale), kRed);
    EXPECT_EQ(speedColour(4.5, scale), QColor(0, 128, 255));  // mixed halfway between two
    EXPECT_EQ(speedColour(7.5, scale), QColor(255, 128, 0));
}

TEST(SpeedColour, BeyondTheScaleTheColoursOfItsEnds)
{
    const SpeedRange scale{4, 8};
    EXPECT_EQ(speedColour(0, scale), kBlue);
    EXPECT_EQ(speedColour(35, scale), kRed);
}

TEST(SpeedColour, AFleetOfOneSpeedIsAllTheMiddleColour)
{
    EXPECT_EQ(speedColour(3, {5, 5}), kGreen);
    EXPECT_EQ(speedColour(9, {}), kGreen);
}

TEST(SpeedLegend, ThreeToFiveRoundSpeedsInsideTheScale)
{
    EXPECT_EQ(speedLegendTicks({4.3, 9.1}), (std::vector<double>{5, 6, 7, 8, 9}));
    EXPECT_EQ(speedLegendTicks({3.6, 7.7}), (std::vector<double>{4, 5, 6, 7}));
    EXPECT_EQ(speedLegendTicks({2.1, 4}), (std::vector<double>{2.5, 3, 3.5, 4}));
    EXPECT_EQ(speedLegendTicks({12, 31}), (std::vector<double>{15, 20, 25, 30}));
    EXPECT_EQ(speedLegendTicks({0.3, 0.7}), (std::vector<double>{0.3, 0.4, 0.5, 0.6, 0.7}));
    EXPECT_EQ(speedLegendTicks({4.31, 4.38}), (std::vector<double>{4.3}));  // too narrow for two: its middle
}

// What the legend drew on a grey map: the box round the pixels that are
// not grey, and whether the ramp's slow end stands left of its fast end.
struct DrawnLegend {
    QRect box;
    bool slowToFast = false;
};

DrawnLegend drawLegend(QSize map, int footTakenTo)
{
    QImage image(map, QImage::Format_RGB32);
    const QColor grey(128, 128, 128);
    image.fill(grey);
    QPainter p(&image);
    drawSpeedLegend(p, map, {4, 8}, footTakenTo);
    p.end();
    DrawnLegend drawn;
    int slowest = -1, fastest = -1;  // columns of a blue and of a red pixel
    for (int y = 0; y < map.height(); ++y) {
        for (int x = 0; x < map.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == grey)
                continue;
            drawn.box |= QRect(x, y, 1, 1);
            if (c.blue() > 200 && c.red() < 40 && c.green() < 40)
                slowest = x;
            if (c.red() > 200 && c.green() < 40 && c.blue() < 40)
                fastest = x;
        }
    }
    drawn.slowToFast = slowest >= 0 && fastest > slowest;
    return drawn;
}

// Where the foot has room, the legend stands on its line, left of the time
// choice and clear of the scale bar; where it has none, on the time choice.
TEST(SpeedLegend, StandsBesideTheTimeChoiceOrOnIt)
{
    const QSize map(965, 800);
    const int timeChoiceLeft = map.width() - raceClockReach() - kTimeModePanelWidth;
    const int footLineTop = map.height() - kTimeModePanelRise;

    const DrawnLegend beside = drawLegend(map, 220);
    EXPECT_TRUE(beside.slowToFast);
    EXPECT_GT(beside.box.left(), 220);
    EXPECT_LT(beside.box.right(), timeChoiceLeft);
    EXPECT_GE(beside.box.top(), footLineTop);
    EXPECT_LE(beside.box.bottom(), footLineTop + kTimeModePanelHeight);

    const DrawnLegend above = drawLegend(map, 500);
    EXPECT_TRUE(above.slowToFast);
    EXPECT_GE(above.box.left(), timeChoiceLeft);
    EXPECT_LT(above.box.right(), map.width() - raceClockReach());
    EXPECT_LT(above.box.bottom(), footLineTop);
}

}  // namespace
}  // namespace keelrun
