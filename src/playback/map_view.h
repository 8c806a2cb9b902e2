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
// The same for many points: the turn of the map worked out once.
class Projection {
public:
    explicit Projection(const MapView &view);
    QPoint operator()(double lat, double lon) const
    {
        const double x = (lon - centreLon_) * lonScale_, y = (centreLat_ - lat) * latScale_;
        const double turnedX = northUp_ ? x : x * cos_ - y * sin_, turnedY = northUp_ ? y : x * sin_ + y * cos_;
        return {roundHalfEven(halfWidth_ + turnedX), roundHalfEven(halfHeight_ + turnedY)};
    }

private:
    // The view's figures held here, not read through the view for every
    // point.
    double centreLat_, centreLon_, latScale_, lonScale_;
    bool northUp_;
    double cos_ = 1, sin_ = 0;
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
// The same for many points: the scale and the turn worked out once.
class OverviewProjection {
public:
    OverviewProjection(const RaceState &race, bool northUp);
    QPointF offset(GeoPoint p) const
    {
        const double x = (p.lon - centreLon_) * lonScale_, y = (centreLat_ - p.lat) * latScale_;
        return northUp_ ? QPointF(x, y) : QPointF(x * cos_ - y * sin_, x * sin_ + y * cos_);
    }

private:
    double centreLat_, centreLon_, latScale_, lonScale_;
    bool northUp_;
    double cos_ = 1, sin_ = 0;
};
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
