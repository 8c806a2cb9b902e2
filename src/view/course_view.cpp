#include "view/course_view.h"

#include <algorithm>
#include <cmath>

#include <numbers>

namespace keelrun {

CourseView wholeRaceView(const RaceState &race)
{
    const RaceExtent &e = race.extent;
    return {{(e.maxLat + e.minLat) / 2, (e.maxLon + e.minLon) / 2}, 1};
}

namespace {

// Turned wind-up, the box round the course turns with it: the scale
// shrinks until the turned box has the room in the map the north-up one has.
double windUpFit(const RaceExtent &e, const FullRaceScale &full, QSize map, double rotation)
{
    const double tall = (e.maxLat - e.minLat) * full.lat, wide = (e.maxLon - e.minLon) * full.lon;
    const double c = std::abs(std::cos(rotation)), s = std::abs(std::sin(rotation));
    const auto room = [&](double w, double h) { return std::min(map.width() / w, map.height() / h); };
    if (!(tall > 0) || !(wide > 0))
        return 1;
    return std::min(1.0, room(wide * c + tall * s, wide * s + tall * c) / room(wide, tall));
}

}  // namespace

MapView courseDiagramView(const CourseView &course, const RaceState &race, QSize map, bool northUp)
{
    const FullRaceScale full = fullRaceScale(race.extent, map);
    const double rotation = -race.windDirection * std::numbers::pi / 180;
    const double fit = northUp ? 1 : windUpFit(race.extent, full, map, rotation);
    MapView view;
    view.centreLat = course.centre.lat;
    view.centreLon = course.centre.lon;
    view.latScale = full.lat * fit * course.zoom;
    view.lonScale = full.lon * fit * course.zoom;
    view.pxPerKm = view.latScale / 1.852;
    view.rotation = rotation;
    view.northUp = northUp;
    view.mapSize = map;
    return view;
}

CourseView clickCourseDiagram(const CourseView &course, const MapView &shown, QPoint pixel, bool zoomIn)
{
    return {unprojectPoint(pixel, shown), zoomIn ? course.zoom * 1.5 : course.zoom / 1.5};
}

CourseView zoomCourseDiagramAbout(const CourseView &course, const MapView &shown, QPoint pointer, double factor)
{
    // The projection is linear: scaling about a point moves the centre
    // towards it by the same factor.
    const GeoPoint under = unprojectPoint(pointer, shown);
    const GeoPoint centre{shown.centreLat, shown.centreLon};
    return {{under.lat + (centre.lat - under.lat) / factor, under.lon + (centre.lon - under.lon) / factor}, course.zoom * factor};
}

CourseView panCourseDiagram(const CourseView &course, const MapView &shown, QPoint from, QPoint to)
{
    const GeoPoint a = unprojectPoint(from, shown), b = unprojectPoint(to, shown);
    return {{shown.centreLat + a.lat - b.lat, shown.centreLon + a.lon - b.lon}, course.zoom};
}

CourseView clickOverview(const CourseView &course, const RaceState &race, QPoint pixel, bool northUp)
{
    const QPointF offset = rotatePoint(QPointF(pixel - kOverviewCentre), race.windDirection * std::numbers::pi / 180, northUp);
    const OverviewScale scale = overviewScale(race.extent);
    return {{race.extent.centreLat - offset.y() / scale.lat, race.extent.centreLon + offset.x() / scale.lon}, course.zoom};
}

}  // namespace keelrun
