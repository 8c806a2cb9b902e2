#include "race/plane.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "base/numbers.h"

namespace keelrun {
namespace {

// An angle of 0 to 45 degrees from an axis rounds to k whole degrees when
// its tangent lies between [k] = tan((k - 0.5) degrees) and [k + 1]; the
// ends stand beyond any tangent.
const std::array<double, 47> kRoundingTangents = [] {
    std::array<double, 47> tangents{};
    tangents.front() = -std::numeric_limits<double>::infinity();
    tangents.back() = std::numeric_limits<double>::infinity();
    for (std::size_t k = 1; k <= 45; ++k)
        tangents[k] = std::tan((static_cast<double>(k) - 0.5) * kDegree);
    return tangents;
}();

}  // namespace

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

int wholeDegreeBearing(double east, double north)
{
    // The angle from the nearer axis, north-south or east-west, found from
    // its tangent: a guess within a tenth of a degree, put right by one
    // step against the tangents where the rounding changes. The quadrant
    // then places it; rounding commutes with that, as the angle is never a
    // half degree. Without branches on the direction, which GPS noise makes
    // random from fix to fix. The arc tangent is taken unless the tangent
    // lies between the two of its whole degree, clear of each by more than
    // a hair (only the arc tangent tells which way a half degree rounds),
    // and clear of the axes, where its result may round across north; and
    // for what is not a number.
    constexpr double kHair = 1e-9;  // relative; the arc tangent's own error is below 1e-15
    const double across = std::abs(east), along = std::abs(north);
    const double t = std::min(across, along) / std::max(across, along);
    if (!(t >= kHair) || std::isnan(east) || std::isnan(north))
        return roundHalfEven(bearingOf(east, north));
    const double guess = t * (45 + (1 - t) * (14.01 + 3.8 * t));  // atan(t) in degrees
    const auto tangent = [](int at) { return kRoundingTangents[static_cast<std::size_t>(at)]; };
    int k = static_cast<int>(guess + 0.5);
    k += static_cast<int>(t > tangent(k + 1)) - static_cast<int>(t < tangent(k));
    if (t - tangent(k) <= kHair * t || tangent(k + 1) - t <= kHair * t)
        return roundHalfEven(bearingOf(east, north));
    const int fromNorth = across > along ? 90 - k : k;  // 0..90 within the quadrant
    const bool northward = north > 0, eastward = east > 0;
    return (northward ? (eastward ? 0 : 360) : 180) + (northward == eastward ? fromNorth : -fromNorth);
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
