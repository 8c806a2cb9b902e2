#pragma once
// Who leads the playing map's view: the fit of the fleet, a boat the map
// keeps in its centre, or the user's own pan and zoom with the wheel and a
// drag. The fit is worked out every frame as ever; a lead other than it
// then moves the centre and sets the scale. Following a boat and finding
// the boat under the pointer read the frame, so the lead sits with the
// replay rather than with the map view it changes.

#include <QPoint>

#include "replay/frame_state.h"
#include "view/map_view.h"

namespace keelrun {

struct ViewLead {
    enum class Kind { Fit, Follow, Free };
    Kind kind = Kind::Fit;
    int boat = 0;         // Follow: the boat kept in the centre
    GeoPoint centre;      // Free: the map's centre
    double latScale = 0;  // Follow and Free: pixels a minute of latitude
};

// The view the lead gives, from the fitted one.
MapView ledView(const ViewLead &lead, const MapView &fitted, const FrameState &frame);

// The wheel: the scale times `factor`, the place under `pointer` staying
// under it; the map leaves the fit.
ViewLead zoomedAbout(const ViewLead &lead, const MapView &shown, QPoint pointer, double factor);
// A drag from `from` to `to`: the place under `from` goes to `to`.
ViewLead pannedBy(const MapView &shown, QPoint from, QPoint to);
// Keeps `boat` in the centre at the scale shown.
ViewLead following(int boat, const MapView &shown);
// The boat drawn within `reach` pixels of `pointer`, the nearest; 0 for none.
int boatUnder(const FrameState &frame, QPoint pointer, int reach);

}  // namespace keelrun
