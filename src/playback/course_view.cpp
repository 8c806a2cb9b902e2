#include "playback/course_view.h"

#include <numbers>

namespace keelrun {

CourseView wholeRaceView(const RaceState &race)
{
    const RaceExtent &e = race.extent;
    return {{(e.maxLat + e.minLat) / 2, (e.maxLon + e.minLon) / 2}, 1};
}

MapView courseDiagramView(const CourseView &course, const RaceState &race, QSize map, bool northUp)
{
    const FullRaceScale full = fullRaceScale(race.extent, map);
    MapView view;
    view.centreLat = course.centre.lat;
    view.centreLon = course.centre.lon;
    view.latScale = full.lat * course.zoom;
    view.lonScale = full.lon * course.zoom;
    view.pxPerKm = view.latScale / 1.852;
    view.rotation = -race.windDirection * std::numbers::pi / 180;
    view.northUp = northUp;
    view.mapSize = map;
    return view;
}

CourseView clickCourseDiagram(const CourseView &course, const MapView &shown, QPoint pixel, bool zoomIn)
{
    return {unprojectPoint(pixel, shown), zoomIn ? course.zoom * 1.5 : course.zoom / 1.5};
}

CourseView clickOverview(const CourseView &course, const RaceState &race, QPoint pixel, bool northUp)
{
    const QPointF offset = rotatePoint(QPointF(pixel - kOverviewCentre), race.windDirection * std::numbers::pi / 180, northUp);
    const OverviewScale scale = overviewScale(race.extent);
    return {{race.extent.centreLat - offset.y() / scale.lat, race.extent.centreLon + offset.x() / scale.lon}, course.zoom};
}

}  // namespace keelrun
