#include "race/daylight.h"

#include <cmath>

#include "base/numbers.h"

namespace keelrun {
namespace {

int dayOfYear(DateTime t) { return toQDateTime(t).date().dayOfYear(); }

double secondOfDay(DateTime t) { return toQDateTime(t).time().msecsSinceStartOfDay() / 1000.0; }

}  // namespace

DaylightWindow computeDaylight(const RaceState &race, const RaceExtent &extent)
{
    // Local solar time runs behind zone time by four seconds per minute of
    // longitude west of the zone's meridian (15 degrees per hour).
    const double solarLead = (extent.centreLon - 900.0 * race.timeDifference) * 4;
    const double u = (dayOfYear(race.startTime) - 83) / 365.0 * 6.28;
    DaylightWindow d;
    d.sunrise = 21600 - 4500 * std::sin(u) - solarLead;
    d.sunset = 64800 + 4500 * std::sin(u) - solarLead;
    d.dayOffset = secondOfDay(race.startTime);
    return d;
}

double timeOfDay(double raceClock, const DaylightWindow &window)
{
    const double x = std::fmod(window.dayOffset + raceClock, 86400.0);
    return x < 0 ? x + 86400 : x;
}

double daylightLevel(double t, const DaylightWindow &w)
{
    double level = w.sunrise < t && t < w.sunset ? 100 : 0;
    if (std::abs(t - w.sunrise) < 3600)
        level = (t - w.sunrise) * 50 / 3600 + 50;
    if (std::abs(t - w.sunset) < 2400)
        level = (w.sunset - t) * 50 / 2400 + 50;
    return level;
}

Daylight daylightAt(double t, const DaylightWindow &w)
{
    return {roundHalfEven(daylightLevel(t, w)), !(w.sunrise < t && t < w.sunset)};
}

}  // namespace keelrun
