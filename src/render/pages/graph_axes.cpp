#include "render/pages/graph_axes.h"

#include <algorithm>
#include <cmath>

#include "base/numbers.h"

namespace keelrun {

GraphAxes::GraphAxes(const RaceState &race, int mapWidth, int clientHeight)
    : height(clientHeight - 77),
      width1(roundHalfEven(mapWidth / 2.0 - 45)),
      left2(roundHalfEven(mapWidth / 2.0) + 10),
      width2(roundHalfEven(mapWidth / 2.0 - 20)),
      speedScale(std::clamp(roundHalfEven(1.5 * race.topSpeed), 6, 75)),
      windowStart_(race.windowStart),
      windowLength_(race.windowLength > 0 ? race.windowLength : 1),
      windDirection_(race.windDirection)
{
}

int GraphAxes::y(double t) const
{
    return roundHalfEven(kTop + height - (t - windowStart_) * height / windowLength_);
}

int GraphAxes::xDirection(double degrees) const
{
    double u = degrees - windDirection_ + 90;
    if (u < 0)
        u += 360;
    if (u > 360)
        u -= 360;
    return roundHalfEven(width1 * u / 360 + kLeft1);
}

int GraphAxes::xSpeed(double knots) const
{
    return roundHalfEven(width2 * knots / speedScale + left2);
}

int GraphAxes::speedLabelStep() const
{
    const double pixelsPerKnot = double(width2) / speedScale;
    for (const int step : {1, 2, 5})
        if (step * pixelsPerKnot >= 16)
            return step;
    return 10;
}

int GraphAxes::speedLineStep() const { return double(width2) / speedScale >= 6 ? 1 : speedLabelStep(); }

int timeGridStep(double windowLength)
{
    const double hours = windowLength / 3600;
    if (hours <= 3)
        return 300;
    if (hours <= 6)
        return 600;
    if (hours <= 12)
        return 900;
    if (hours <= 24)
        return 1800;
    return 3600;
}

QString graphTimeLabel(double t)
{
    const int hours = roundHalfEven(t / 3600 - 0.49999);
    const int minutes = roundHalfEven((t - 3600.0 * hours) / 60);
    return QStringLiteral("%1:%2").arg(hours).arg(minutes, 2, 10, QLatin1Char('0'));
}

}  // namespace keelrun
