#include "replay/view_lead.h"

#include <cmath>

namespace keelrun {
namespace {

// The view with the centre and the scale given, its longitude scale kept in
// proportion to its latitude scale.
MapView withCentreAndScale(MapView view, GeoPoint centre, double latScale)
{
    const double ratio = view.latScale > 0 ? latScale / view.latScale : 1;
    view.centreLat = centre.lat;
    view.centreLon = centre.lon;
    view.latScale = latScale;
    view.lonScale *= ratio;
    view.pxPerKm *= ratio;
    return view;
}

}  // namespace

MapView ledView(const ViewLead &lead, const MapView &fitted, const FrameState &frame)
{
    switch (lead.kind) {
    case ViewLead::Kind::Free:
        return withCentreAndScale(fitted, lead.centre, lead.latScale);
    case ViewLead::Kind::Follow: {
        if (lead.boat < 1 || lead.boat >= static_cast<int>(frame.boats.size()) || !frame.boats[lead.boat].hasPosition)
            return withCentreAndScale(fitted, {fitted.centreLat, fitted.centreLon}, lead.latScale);
        const BoatInFrame &b = frame.boats[lead.boat];
        return withCentreAndScale(fitted, {b.lat, b.lon}, lead.latScale);
    }
    case ViewLead::Kind::Fit:
        break;
    }
    return fitted;
}

ViewLead zoomedAbout(const ViewLead &lead, const MapView &shown, QPoint pointer, double factor)
{
    const GeoPoint under = unprojectPoint(pointer, shown);
    MapView zoomed = withCentreAndScale(shown, {shown.centreLat, shown.centreLon}, shown.latScale * factor);
    const GeoPoint drifted = unprojectPoint(pointer, zoomed);
    ViewLead next = lead;
    if (lead.kind == ViewLead::Kind::Fit)
        next.kind = ViewLead::Kind::Free;
    next.latScale = zoomed.latScale;
    // A followed boat stays in the centre; a free map keeps the place under
    // the pointer where it is.
    next.centre = {shown.centreLat + under.lat - drifted.lat, shown.centreLon + under.lon - drifted.lon};
    return next;
}

ViewLead pannedBy(const MapView &shown, QPoint from, QPoint to)
{
    const GeoPoint a = unprojectPoint(from, shown), b = unprojectPoint(to, shown);
    ViewLead lead;
    lead.kind = ViewLead::Kind::Free;
    lead.centre = {shown.centreLat + a.lat - b.lat, shown.centreLon + a.lon - b.lon};
    lead.latScale = shown.latScale;
    return lead;
}

ViewLead following(int boat, const MapView &shown)
{
    ViewLead lead;
    lead.kind = ViewLead::Kind::Follow;
    lead.boat = boat;
    lead.latScale = shown.latScale;
    return lead;
}

int boatUnder(const FrameState &frame, QPoint pointer, int reach)
{
    int nearest = 0;
    double best = reach;
    for (int b = 1; b < static_cast<int>(frame.boats.size()); ++b) {
        const BoatInFrame &place = frame.boats[b];
        if (!place.hasPosition || !place.shown)
            continue;
        const QPoint at = projectPoint(place.lat, place.lon, frame.view);
        const double distance = std::hypot(at.x() - pointer.x(), at.y() - pointer.y());
        if (distance <= best) {
            best = distance;
            nearest = b;
        }
    }
    return nearest;
}

}  // namespace keelrun
