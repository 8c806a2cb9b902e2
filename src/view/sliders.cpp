#include "view/sliders.h"

#include <algorithm>
#include <cmath>

#include "base/numbers.h"

namespace keelrun {

double playSpeedForSlider(int p)
{
    if (p < 40)
        return static_cast<int>(p / 4.0 + 1);
    if (p < 80)
        return static_cast<int>((p - 40) / 4.0 + 1) * 10;
    return static_cast<int>((p - 80) / 4.0 + 1) * 100;
}

int speedSliderPosition(double s)
{
    double p = 0;
    if (s <= 10)
        p = s * 4 - 1;
    else if (s <= 90)
        p = (s / 10 - 1) * 4 + 40;
    else
        p = (s / 100 - 1) * 4 + 80;
    return roundHalfEven(p);
}

double zoomDivisorForSlider(int position) { return std::max(1.0, 10 - position / 10.0); }

int zoomSliderPosition(double divisor) { return divisor <= 1 ? 100 : std::clamp(static_cast<int>(std::lround((10 - divisor) * 10)), 0, 100); }

}  // namespace keelrun
