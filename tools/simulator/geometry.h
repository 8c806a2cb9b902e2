#pragma once
// Plane geometry of the race area. The simulator works in metres on a local
// plane around the race centre (x east, y north); bearings are degrees
// clockwise from true north. Over a few miles the plane is accurate enough:
// one minute of latitude is 1852 m and one minute of longitude 1852 m times
// the cosine of the centre latitude.

namespace keelrun::sim {

struct Vec2 {
    double x = 0;  // east, metres
    double y = 0;  // north, metres

    Vec2 operator+(Vec2 o) const { return {x + o.x, y + o.y}; }
    Vec2 operator-(Vec2 o) const { return {x - o.x, y - o.y}; }
    Vec2 operator*(double k) const { return {x * k, y * k}; }
};

double dot(Vec2 a, Vec2 b);
double length(Vec2 v);
Vec2 unit(Vec2 v);                 // the zero vector stays zero
Vec2 towards(double bearingDeg);   // unit vector along a bearing
double bearingOf(Vec2 v);          // in [0, 360)
double normalizeAngle(double deg); // in (-180, 180]

// Which side of the line a->b a point lies on: positive on the left of the
// direction a->b, negative on the right, in metres.
double sideOf(Vec2 a, Vec2 b, Vec2 p);

// Where the step p->q crosses the segment a->b, as the fraction of the step;
// negative when it does not cross between the two ends.
double crossingFraction(Vec2 a, Vec2 b, Vec2 p, Vec2 q);

struct GeoDegrees {
    double lat = 0;
    double lon = 0;
};

class LocalPlane {
public:
    LocalPlane(double centreLatDeg, double centreLonDeg);
    GeoDegrees toDegrees(Vec2 p) const;
    Vec2 toPlane(GeoDegrees g) const;

private:
    double lat0_, lon0_, metresPerDegLon_;
};

inline constexpr double kMetresPerMinute = 1852.0;
inline constexpr double kKnot = 1852.0 / 3600.0;  // metres per second

}  // namespace keelrun::sim
