#pragma once
// How positions become pixels on the map, in the flat projection of the
// race area (race/plane.h), north-up or wind-up. Screen x grows to the right and
// y downwards; screen directions are degrees clockwise from screen up.

#include <vector>

#include <QPoint>
#include <QPointF>
#include <QSize>

#include "base/numbers.h"
#include "model/race_state.h"
#include "race/race_extent.h"

namespace keelrun {

inline constexpr int kOverviewSize = 170;  // pixels, square

// Pixels per minute of the overview map, which shows the whole race extent.
struct OverviewScale {
    double lat = 0, lon = 0;
};
OverviewScale overviewScale(const RaceExtent &extent);

// The view of one frame.
struct MapView {
    double centreLat = 0, centreLon = 0;  // minutes
    double latScale = 1, lonScale = 1;    // pixels per minute
    double pxPerKm = 1 / 1.852;
    double rotation = 0;                  // radians; wind-up only
    bool northUp = true;
    QSize mapSize{1, 1};
    std::vector<int> firstFocusedBoats;  // up to four boats in view, for the comparison
};

// Turns a screen offset by `angle` radians; north-up leaves it as it is.
QPointF rotatePoint(QPointF p, double angle, bool northUp);
QPoint projectPoint(double lat, double lon, const MapView &view);
// A position's offset in pixels from a centre, at a scale, turned by
// `rotation` radians unless north is up: the arithmetic under the map's and
// the overview's projections, with the turn worked out once for many points.
class TurnedOffset {
public:
    TurnedOffset(GeoPoint centre, double latScale, double lonScale, double rotation, bool northUp);
    QPointF operator()(double lat, double lon) const
    {
        const double x = (lon - centre_.lon) * lonScale_, y = (centre_.lat - lat) * latScale_;
        return northUp_ ? QPointF(x, y) : QPointF(x * cos_ - y * sin_, x * sin_ + y * cos_);
    }

private:
    GeoPoint centre_;
    double latScale_, lonScale_;
    bool northUp_;
    double cos_ = 1, sin_ = 0;
};

// projectPoint for many points.
class Projection {
public:
    explicit Projection(const MapView &view);
    QPoint operator()(double lat, double lon) const
    {
        const QPointF turned = offset_(lat, lon);
        return {roundHalfEven(halfWidth_ + turned.x()), roundHalfEven(halfHeight_ + turned.y())};
    }

private:
    TurnedOffset offset_;
    double halfWidth_, halfHeight_;
};
// The position under a pixel: projectPoint undone.
GeoPoint unprojectPoint(QPointF pixel, const MapView &view);

// The part of the map a view shows, in minutes, unturned: what lies outside
// need not be drawn.
GeoBox visibleWindow(const MapView &view);

// The overview map: the race extent at the overview scales, turned with the
// map in wind-up; the offset of a position from the overview's centre.
QPointF overviewOffset(GeoPoint p, const RaceState &race, bool northUp);
// The same for many points.
TurnedOffset overviewProjection(const RaceState &race, bool northUp);
inline constexpr QPoint kOverviewCentre{kOverviewSize / 2, kOverviewSize / 2};

// Pixels per minute at which the whole race extent fills the map's shorter side.
struct FullRaceScale {
    double lat = 0, lon = 0;
};
FullRaceScale fullRaceScale(const RaceExtent &extent, QSize map);
// A vector half the map height long in screen direction `degrees`.
QPointF screenVector(double degrees, int mapHeight);

// A boat's place in one frame.
struct BoatInView {
    int boat = 0;
    GeoPoint position;
    bool ticked = true;  // shown in the boat list
};

struct FitRequest {
    std::vector<BoatInView> boats;  // boats that have a position now
    double now = 0;                 // race clock
    bool autoTrace = true;          // follow the fleet; else frame the race extent
    bool northUp = true;
    double zoomDivisor = 1;         // from the ZOOM slider
    QSize mapSize;
};

// Frames the fleet: the box of the ticked boats (with the finish line when
// fewer than two boats are left, and the start line before the gun), at
// least 0.04' x 0.05', filling 85 % of the map height, widened when a boat
// lies outside the circle the box fits in, and divided by the zoom.
MapView fitView(const FitRequest &request, const RaceState &race);

}  // namespace keelrun
