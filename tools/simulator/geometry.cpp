#include "geometry.h"

#include <cmath>
#include <numbers>

namespace keelrun::sim {
namespace {
constexpr double kRad = std::numbers::pi / 180.0;
}

double dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
double length(Vec2 v) { return std::hypot(v.x, v.y); }

Vec2 unit(Vec2 v)
{
    const double n = length(v);
    return n > 0 ? v * (1.0 / n) : Vec2{};
}

Vec2 towards(double bearingDeg) { return {std::sin(bearingDeg * kRad), std::cos(bearingDeg * kRad)}; }

double bearingOf(Vec2 v)
{
    const double b = std::atan2(v.x, v.y) / kRad;
    return b < 0 ? b + 360 : b;
}

double normalizeAngle(double deg)
{
    deg = std::fmod(deg, 360.0);
    if (deg > 180)
        deg -= 360;
    else if (deg <= -180)
        deg += 360;
    return deg;
}

double sideOf(Vec2 a, Vec2 b, Vec2 p)
{
    const Vec2 d = unit(b - a);
    const Vec2 r = p - a;
    return d.x * r.y - d.y * r.x;
}

double crossingFraction(Vec2 a, Vec2 b, Vec2 p, Vec2 q)
{
    const double sp = sideOf(a, b, p);
    const double sq = sideOf(a, b, q);
    if (sp * sq > 0 || sp == sq)
        return -1;
    const double f = sp / (sp - sq);
    const Vec2 at = p + (q - p) * f;
    const double along = dot(at - a, unit(b - a));
    return along >= 0 && along <= length(b - a) ? f : -1;
}

LocalPlane::LocalPlane(double centreLatDeg, double centreLonDeg)
    : lat0_(centreLatDeg), lon0_(centreLonDeg),
      metresPerDegLon_(60 * kMetresPerMinute * std::cos(centreLatDeg * kRad))
{
}

GeoDegrees LocalPlane::toDegrees(Vec2 p) const
{
    return {lat0_ + p.y / (60 * kMetresPerMinute), lon0_ + p.x / metresPerDegLon_};
}

Vec2 LocalPlane::toPlane(GeoDegrees g) const
{
    return {(g.lon - lon0_) * metresPerDegLon_, (g.lat - lat0_) * 60 * kMetresPerMinute};
}

}  // namespace keelrun::sim
