#include "view/map_view.h"

#include <algorithm>
#include <cmath>

#include "base/numbers.h"

namespace keelrun {

QPointF rotatePoint(QPointF p, double angle, bool northUp)
{
    if (northUp)
        return p;
    const double c = std::cos(angle), s = std::sin(angle);
    return {p.x() * c - p.y() * s, p.x() * s + p.y() * c};
}

TurnedOffset::TurnedOffset(GeoPoint centre, double latScale, double lonScale, double rotation, bool northUp)
    : centre_(centre), latScale_(latScale), lonScale_(lonScale), northUp_(northUp)
{
    if (!northUp) {
        cos_ = std::cos(rotation);
        sin_ = std::sin(rotation);
    }
}

Projection::Projection(const MapView &view)
    : offset_({view.centreLat, view.centreLon}, view.latScale, view.lonScale, view.rotation, view.northUp),
      halfWidth_(view.mapSize.width() / 2.0),
      halfHeight_(view.mapSize.height() / 2.0)
{
}

QPoint projectPoint(double lat, double lon, const MapView &view) { return Projection(view)(lat, lon); }

GeoPoint unprojectPoint(QPointF pixel, const MapView &view)
{
    const QPointF offset(pixel.x() - view.mapSize.width() / 2.0, pixel.y() - view.mapSize.height() / 2.0);
    const QPointF unturned = rotatePoint(offset, -view.rotation, view.northUp);
    return {view.centreLat - unturned.y() / view.latScale, view.centreLon + unturned.x() / view.lonScale};
}

GeoBox visibleWindow(const MapView &view)
{
    const double halfLat = view.mapSize.height() / 2.0 / view.latScale;
    const double halfLon = view.mapSize.width() / 2.0 / view.lonScale;
    return {view.centreLat + halfLat, view.centreLat - halfLat, view.centreLon + halfLon, view.centreLon - halfLon};
}

TurnedOffset overviewProjection(const RaceState &race, bool northUp)
{
    const OverviewScale scale = overviewScale(race.extent);
    return {{race.extent.centreLat, race.extent.centreLon}, scale.lat, scale.lon, -race.windDirection * kDegree, northUp};
}

QPointF overviewOffset(GeoPoint p, const RaceState &race, bool northUp) { return overviewProjection(race, northUp)(p.lat, p.lon); }

FullRaceScale fullRaceScale(const RaceExtent &extent, QSize map)
{
    const double side = std::min(map.width(), map.height());
    return {side / extent.latSpan, side / extent.lonSpan};
}

QPointF screenVector(double degrees, int mapHeight)
{
    if (degrees < -180)
        degrees += 360;
    if (degrees > 360)
        degrees -= 360;
    const double length = mapHeight / 2.0;
    return {length * std::sin(degrees * kDegree), -length * std::cos(degrees * kDegree)};
}

OverviewScale overviewScale(const RaceExtent &extent)
{
    return {kOverviewSize / extent.latSpan, kOverviewSize / extent.lonSpan};
}

MapView fitView(const FitRequest &request, const RaceState &race)
{
    const RaceExtent &extent = race.extent;
    GeoBox box;
    MapView view;
    int ticked = 0;
    for (const BoatInView &b : request.boats) {
        if (!b.ticked)
            continue;
        box.add(b.position);
        if (++ticked <= 4)
            view.firstFocusedBoats.push_back(b.boat);
    }
    const auto &finish = race.results.finishLine;
    if (request.boats.size() < 2 && race.boatCount >= 2 && finish[0] != 0) {
        box.add(finish[0], finish[2]);
        box.add(finish[1], finish[3]);
    }
    if (request.now < 0 && race.lineCount >= 1) {
        box.add(race.lines[1].end1);
        box.add(race.lines[1].end2);
    }
    if (!request.autoTrace)
        box = {extent.maxLat, extent.minLat, extent.maxLon, extent.minLon};

    view.centreLat = (box.maxLat + box.minLat) / 2;
    view.centreLon = (box.maxLon + box.minLon) / 2;
    double boxLat = std::max(box.maxLat - box.minLat, 0.04);
    const double boxLon = std::max(box.maxLon - box.minLon, 0.05);
    const double height = request.mapSize.height();
    if (boxLon * extent.cosLat > boxLat) {
        view.lonScale = 0.85 * height / boxLon;
        view.latScale = view.lonScale / extent.cosLat;
        boxLat = boxLon * extent.cosLat;
    } else {
        view.latScale = 0.85 * height / boxLat;
        view.lonScale = view.latScale * extent.cosLat;
    }

    // A ticked boat outside the circle the box fits in widens the view.
    double farthest = 0;
    for (const BoatInView &b : request.boats) {
        if (b.ticked)
            farthest = std::max(farthest, std::hypot(b.position.lat - view.centreLat,
                                                     (b.position.lon - view.centreLon) * extent.cosLat));
    }
    const double widen = farthest > 0 && farthest > boxLat / 2 ? farthest / (boxLat / 2) : 1;

    view.latScale = view.latScale / request.zoomDivisor / widen;
    view.lonScale = view.lonScale / request.zoomDivisor / widen;
    view.pxPerKm = view.latScale / 1.852;
    view.rotation = -race.windDirection * kDegree;
    view.northUp = request.northUp;
    view.mapSize = request.mapSize;
    return view;
}

}  // namespace keelrun
