#pragma once
// The flat projection of the race area: one minute of latitude is 1852 m,
// one minute of longitude 1852 m x cos(latitude of the race centre).
// Directions are degrees clockwise from true north unless marked magnetic.

#include "model/race_state.h"

namespace keelrun {

inline constexpr double kMetresPerMinute = 1852.0;
// Degrees clockwise from north, in [0, 360), of a displacement.
double bearingOf(double east, double north);
// The same bearing rounded to whole degrees, ties to even, 0 to 360 (just
// west of north rounds up to 360): a fix's course. Exactly
// roundHalfEven(bearingOf(east, north)), mostly without its arc tangent.
int wholeDegreeBearing(double east, double north);

// Normalises a direction into (-180, 180]. Inline: the manoeuvres ask it of
// every fix.
inline double signedAngle(double degrees)
{
    if (degrees > 180)
        degrees -= 360;
    if (degrees < -180)
        degrees += 360;
    return degrees;
}

struct RangeBearing {
    double range = 0;    // metres
    double bearing = 0;  // degrees magnetic
};
RangeBearing rangeAndBearing(GeoPoint from, GeoPoint to, double cosLat, double magneticVariation);

}  // namespace keelrun
