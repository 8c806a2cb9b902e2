#pragma once
// The overview map: every boat's whole track at the fixed overview scale on
// a 170 x 170 picture, turned with the map in wind-up. The window moves one
// 7 x 7 marker per boat over it as the replay runs.

#include <QImage>
#include <QPoint>

#include "model/race_state.h"
#include "replay/frame_state.h"

namespace keelrun {

QImage drawOverviewMap(const RaceState &race, bool northUp);

// The top left of a boat's marker at position `p`, in the overview
// picture's own pixels shifted by the 3-pixel margin the picture sits in:
// a 7 x 7 marker placed there is centred on the point.
QPoint overviewMarkerPlace(GeoPoint p, const RaceState &race, bool northUp);

// Small-screen mode's inset: the overview picture in the map's top right
// corner, with a dot for every boat in play that has not finished.
void drawInsetOverview(QImage &map, const QImage &overview, const RaceState &race, const FrameState &frame, bool northUp);

}  // namespace keelrun
