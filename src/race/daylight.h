#pragma once
// Day and night on the race day: sunrise and sunset at the race area, and
// how bright the sea looks at a time of day. Times are seconds of the local
// day.

#include "model/race_state.h"

namespace keelrun {

// Sunrise and sunset at the race centre on the race day, from the day of
// the year and the longitude's distance from the time zone's meridian.
DaylightWindow computeDaylight(const RaceState &race, const RaceExtent &extent);

// The sea's brightness at a time of day: full by day, dark by night, with
// dawn over two hours around sunrise and dusk over 80 minutes around sunset.
struct Daylight {
    int level = 100;
    bool night = false;
};
Daylight daylightAt(double timeOfDay, const DaylightWindow &window);
// The same ramp unrounded: 0 (night) to 100 (day).
double daylightLevel(double timeOfDay, const DaylightWindow &window);
double timeOfDay(double raceClock, const DaylightWindow &window);

}  // namespace keelrun
