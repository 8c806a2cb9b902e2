#include <gtest/gtest.h>

#include "view/sliders.h"

namespace keelrun {
namespace {

TEST(Sliders, PlaySpeedScale)
{
    const std::pair<int, double> scale[] = {{0, 1},   {3, 1},    {19, 5},   {39, 10},  {40, 10},
                                            {56, 50}, {79, 100}, {80, 100}, {84, 200}, {136, 1500}};
    for (const auto &[position, speed] : scale)
        EXPECT_EQ(playSpeedForSlider(position), speed) << position;
}

TEST(Sliders, SpeedSliderPositions)
{
    EXPECT_EQ(speedSliderPosition(1), 3);
    EXPECT_EQ(speedSliderPosition(5), 19);
    EXPECT_EQ(speedSliderPosition(10), 39);
    EXPECT_EQ(speedSliderPosition(50), 56);
    EXPECT_EQ(speedSliderPosition(200), 84);
    EXPECT_EQ(speedSliderPosition(1500), 136);
}

TEST(Sliders, ZoomDivisor)
{
    EXPECT_EQ(zoomDivisorForSlider(0), 10);
    EXPECT_EQ(zoomDivisorForSlider(50), 5);
    EXPECT_EQ(zoomDivisorForSlider(90), 1);
    EXPECT_EQ(zoomDivisorForSlider(100), 1);
    // And back: the wheel's scale on the slider.
    for (int position = 0; position < 90; ++position)  // from 90 on the fit, as at 100
        EXPECT_EQ(zoomSliderPosition(zoomDivisorForSlider(position)), position);
    EXPECT_EQ(zoomSliderPosition(1), 100);
    EXPECT_EQ(zoomSliderPosition(0.5), 100);  // nearer than the fit
    EXPECT_EQ(zoomSliderPosition(40), 0);
}

}  // namespace
}  // namespace keelrun
