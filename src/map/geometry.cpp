#include "map/geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "io/numbers.h"

namespace keelrun {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// A box in minutes of arc that grows to take in points.
struct Box {
    double maxLat = -50000, minLat = 50000, maxLon = -50000, minLon = 50000;

    void add(double lat, double lon)
    {
        maxLat = std::max(maxLat, lat);
        minLat = std::min(minLat, lat);
        maxLon = std::max(maxLon, lon);
        minLon = std::min(minLon, lon);
    }
    void add(GeoPoint p) { add(p.lat, p.lon); }
};

int dayOfYear(DateTime t) { return toQDateTime(t).date().dayOfYear(); }

double secondOfDay(DateTime t) { return toQDateTime(t).time().msecsSinceStartOfDay() / 1000.0; }

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

double signedAngle(double degrees)
{
    if (degrees > 180)
        degrees -= 360;
    if (degrees < -180)
        degrees += 360;
    return degrees;
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

QPointF rotatePoint(QPointF p, double angle, bool northUp)
{
    if (northUp)
        return p;
    const double c = std::cos(angle), s = std::sin(angle);
    return {p.x() * c - p.y() * s, p.x() * s + p.y() * c};
}

QPoint projectPoint(double lat, double lon, const MapView &view)
{
    const QPointF offset((lon - view.centreLon) * view.lonScale, (view.centreLat - lat) * view.latScale);
    const QPointF turned = rotatePoint(offset, view.rotation, view.northUp);
    return {roundHalfEven(view.mapSize.width() / 2.0 + turned.x()), roundHalfEven(view.mapSize.height() / 2.0 + turned.y())};
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

RaceExtent computeRaceExtent(const RaceState &race)
{
    Box box{-20000, 20000, -20000, 20000};
    for (int b = 1; b <= race.boatCount; ++b) {
        const BoatEntry &boat = race.boats[b];
        for (int i = 1; i <= boat.sampleCount(); ++i) {
            const TrackSample &s = boat.samples[i];
            if (s.time >= race.windowStart && s.time <= race.windowEnd)
                box.add(s.lat, s.lon);
        }
    }
    RaceExtent e;
    e.maxLat = box.maxLat;
    e.minLat = box.minLat;
    e.maxLon = box.maxLon;
    e.minLon = box.minLon;
    e.centreLat = (e.maxLat + e.minLat) / 2;
    e.centreLon = (e.maxLon + e.minLon) / 2;
    e.cosLat = std::cos(e.centreLat / 60 * kDegree);
    e.latSpan = (e.maxLat - e.minLat) * 1.2;
    e.lonSpan = (e.maxLon - e.minLon) * 1.2;
    if (e.lonSpan * e.cosLat >= e.latSpan)
        e.latSpan = e.lonSpan * e.cosLat;
    else
        e.lonSpan = e.latSpan / e.cosLat;
    e.overviewLatScale = kOverviewSize / e.latSpan;
    e.overviewLonScale = kOverviewSize / e.lonSpan;
    return e;
}

DaylightWindow computeDaylight(const RaceState &race, const RaceExtent &extent)
{
    // Local solar time runs behind zone time by four seconds per minute of
    // longitude west of the zone's meridian (15 degrees per hour).
    const double solarLead = (extent.centreLon - 900.0 * race.timeDifference) * 4;
    const double u = (dayOfYear(race.startTime) - 83) / 365.0 * 6.28;
    DaylightWindow d;
    d.sunrise = 21600 - 4500 * std::sin(u) - solarLead;
    d.sunset = 64800 + 4500 * std::sin(u) - solarLead;
    d.dayOffset = secondOfDay(race.startTime);
    return d;
}

double zoomDivisorForSlider(int position) { return std::max(1.0, 10 - position / 10.0); }

MapView fitView(const FitRequest &request, const RaceState &race)
{
    const RaceExtent &extent = race.extent;
    Box box;
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

    view.latScale = view.latScale / race.zoomDivisor / widen;
    view.lonScale = view.lonScale / race.zoomDivisor / widen;
    view.pxPerKm = view.latScale / 1.852;
    view.rotation = -race.windDirection * kDegree;
    view.northUp = request.northUp;
    view.mapSize = request.mapSize;
    return view;
}

}  // namespace keelrun
