#include "playback/play_speed.h"

#include "io/numbers.h"

namespace keelrun {

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

}  // namespace keelrun
