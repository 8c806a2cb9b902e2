#include "race/plane.h"

#include <array>
#include <cmath>
#include <optional>

#include "base/numbers.h"

namespace keelrun {
namespace {

// tan((k + 0.5) degrees) for k = 0..44: where an angle of 0 to 45 degrees
// from an axis rounds up from k to k + 1 whole degrees.
const std::array<double, 45> &halfDegreeTangents()
{
    static const std::array<double, 45> tangents = [] {
        std::array<double, 45> t{};
        for (std::size_t k = 0; k < t.size(); ++k)
            t[k] = std::tan((static_cast<double>(k) + 0.5) * kDegree);
        return t;
    }();
    return tangents;
}

// The angle of 0 to 45 degrees whose tangent is t (0..1), in whole degrees:
// a guess within a degree, put right against the tangents where the
// rounding changes. Nothing when t lies within a hair of one of them, where
// only the arc tangent itself tells which way it rounds.
std::optional<int> wholeDegreesOfTangent(double t)
{
    constexpr double kHair = 1e-9;  // relative; the arc tangent's own error is below 1e-15
    const std::array<double, 45> &tangents = halfDegreeTangents();
    const double guess = t * (45 + (1 - t) * (14.01 + 3.8 * t));  // atan(t) in degrees, within 0.1
    int k = static_cast<int>(guess + 0.5);
    while (k < 45 && t > tangents[static_cast<std::size_t>(k)])
        ++k;
    while (k > 0 && t < tangents[static_cast<std::size_t>(k - 1)])
        --k;
    const auto near = [&](int boundary) {
        return boundary >= 0 && boundary < 45 && std::abs(t - tangents[static_cast<std::size_t>(boundary)]) <= kHair * t;
    };
    if (near(k - 1) || near(k))
        return std::nullopt;
    return k;
}

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
    // The angle from the nearer axis, north-south or east-west, from its
    // tangent; the quadrant then places it. Rounding commutes with that
    // placing, as the angle is never a half degree. Headings within a hair
    // of an axis (where the arc tangent's result may round across north)
    // and anything not a number take the arc tangent.
    constexpr double kNearAxis = 1e-9;
    const double across = std::abs(east), along = std::abs(north);
    const bool steep = across > along;  // nearer east-west than north-south
    const double t = steep ? along / across : across / along;
    const auto degrees = t >= kNearAxis && t <= 1 ? wholeDegreesOfTangent(t) : std::nullopt;
    if (!degrees)
        return roundHalfEven(bearingOf(east, north));
    const int fromNorth = steep ? 90 - *degrees : *degrees;  // 0..90, in the quadrant's own sense
    if (north > 0)
        return east > 0 ? fromNorth : 360 - fromNorth;
    return east > 0 ? 180 - fromNorth : 180 + fromNorth;
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
