#include "race/plane.h"

#include <cmath>

#include "base/numbers.h"

namespace keelrun {

double bearingOf(double east, double north)
{
    if (north == 0)
        return east == 0 ? 0 : east > 0 ? 90 : 270;
    double bearing = std::atan(east / north) / kDegree;
    if (north < 0)
        bearing += 180;
    if (bearing < 0)
        bearing += 360;
    if (bearing >= 360)
        bearing -= 360;
    return bearing;
}

RangeBearing rangeAndBearing(GeoPoint from, GeoPoint to, double cosLat, double magneticVariation)
{
    const double north = (to.lat - from.lat) * kMetresPerMinute;
    const double east = (to.lon - from.lon) * kMetresPerMinute * cosLat;
    double bearing = bearingOf(east, north) - magneticVariation;
    if (bearing > 360)
        bearing -= 360;
    if (bearing < 0)
        bearing += 360;
    return {std::hypot(north, east), bearing};
}

}  // namespace keelrun
