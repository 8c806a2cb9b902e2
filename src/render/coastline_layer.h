#pragma once
// The coastline and the navigation lights, on the map, the overview and the
// course diagram: white polylines, and each light a red-ringed yellow dot
// that at night, while lit, sends out a ring of its colour growing to half
// its range once a second.

#include <functional>
#include <vector>

#include <QPainter>

#include "model/race_state.h"
#include "replay/light_phases.h"
#include "view/map_view.h"

namespace keelrun {

using PlacePoint = std::function<QPointF(GeoPoint)>;

// The coastline's polylines, each point placed by `place`.
void drawCoastline(QPainter &p, const std::vector<CoastPoint> &points, const PlacePoint &place);

// The lights on the main map at night: the rings of the lit lights near the
// view, then every light inside the map as a dot, named from label level 2.
struct LightsOnMap {
    const LightClock *clock = nullptr;
    QColor sea;
    double zoomDivisor = 1;
    int labelLevel = 1;
};
void drawLightsOnMap(QPainter &p, const std::vector<Light> &lights, const MapView &view, const LightsOnMap &options);

// The lights as small dots, for the overview.
void drawLightDots(QPainter &p, const std::vector<Light> &lights, const PlacePoint &place);

}  // namespace keelrun
