#pragma once
// How positions become pixels. The race area is small enough for a flat
// projection: one minute of latitude is 1852 m, one minute of longitude
// 1852 m x cos(latitude of the race centre). Screen x grows to the right and
// y downwards; screen directions are degrees clockwise from screen up.

#include <vector>

#include <QPoint>
#include <QPointF>
#include <QSize>

#include "model/race_state.h"

namespace keelrun {

inline constexpr double kMetresPerMinute = 1852.0;
inline constexpr int kOverviewSize = 170;  // pixels, square

// Degrees clockwise from north, in [0, 360), of a displacement.
double bearingOf(double east, double north);

// Normalises a direction into (-180, 180].
double signedAngle(double degrees);

struct RangeBearing {
    double range = 0;    // metres
    double bearing = 0;  // degrees magnetic
};
RangeBearing rangeAndBearing(GeoPoint from, GeoPoint to, double cosLat, double magneticVariation);

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
// A vector half the map height long in screen direction `degrees`.
QPointF screenVector(double degrees, int mapHeight);

// The race extent: every sample inside the playback window, with a 20 %
// margin, the spans made equal in ground distance.
RaceExtent computeRaceExtent(const RaceState &race);

// Sunrise and sunset at the race centre on the race day, from the day of
// the year and the longitude's distance from the time zone's meridian.
DaylightWindow computeDaylight(const RaceState &race, const RaceExtent &extent);

// The zoom slider (0..100): the right end shows the fitted view, the left
// end ten times the area.
double zoomDivisorForSlider(int position);

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
    QSize mapSize;
};

// Frames the fleet: the box of the ticked boats (with the finish line when
// fewer than two boats are left, and the start line before the gun), at
// least 0.04' x 0.05', filling 85 % of the map height, widened when a boat
// lies outside the circle the box fits in, and divided by the zoom.
MapView fitView(const FitRequest &request, const RaceState &race);

}  // namespace keelrun
