#pragma once
// The flat projection of the race area: one minute of latitude is 1852 m,
// one minute of longitude 1852 m x cos(latitude of the race centre).
// Directions are degrees clockwise from true north unless marked magnetic.

#include <algorithm>
#include <cmath>

#include "base/numbers.h"
#include "model/race_state.h"

namespace keelrun {

inline constexpr double kMetresPerMinute = 1852.0;
// Degrees clockwise from north, in [0, 360), of a displacement.
double bearingOf(double east, double north);
// The same bearing rounded to whole degrees, ties to even, 0 to 360 (just
// west of north rounds up to 360): a fix's course. Exactly
// roundHalfEven(bearingOf(east, north)), mostly without its arc tangent.
int wholeDegreeBearing(double east, double north);
// The course of a displacement, not zero, as std::atan2(east, north) gives
// it in degrees (-180 to 180), within kRoughCourseError degrees and on the
// same side of due south: a series in place of the arc tangent, for
// questions that only a course within a hair of a boundary leaves open.
// Inline: it is asked of every fix.
inline constexpr double kRoughCourseError = 1e-4;
inline double roughCourse(double east, double north)
{
    // The arc tangent of the smaller part over the larger, 0 to 1, from a
    // series in its square good to 1.7e-6 radians, its terms paired so that
    // they are worked out side by side; then the octant places it.
    const double across = std::abs(east), along = std::abs(north);
    const double t = std::min(across, along) / std::max(across, along), t2 = t * t, t4 = t2 * t2;
    const double series = (0.99997726 - 0.33262347 * t2) +
                          t4 * ((0.19354346 - 0.11643287 * t2) + t4 * (0.05265332 - 0.01172120 * t2));
    double angle = t * series * (1 / kDegree);
    if (across > along)
        angle = 90 - angle;
    if (north < 0)
        angle = 180 - angle;
    return std::signbit(east) ? -angle : angle;  // as the arc tangent's, the sign of a zero's too
}

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

// A direction as a unit vector: its north and east parts.
struct CourseVector {
    double north = 0, east = 0;
};
inline CourseVector unitVector(double degrees) { return {std::cos(degrees * kDegree), std::sin(degrees * kDegree)}; }

struct RangeBearing {
    double range = 0;    // metres
    double bearing = 0;  // degrees magnetic
};
RangeBearing rangeAndBearing(GeoPoint from, GeoPoint to, double cosLat, double magneticVariation);

}  // namespace keelrun
