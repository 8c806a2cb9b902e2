#pragma once
// The start, drawn to scale: the start line with the course's first leg
// pointing up, each ticked boat's place a minute, half a minute and nothing
// before the gun and ten seconds after, joined in its colour; beside it the
// table of every start: metres from the line at the gun (negative over
// it), where along the line, the speed then, the start's time after the gun
// and the speed then, and who was over early. A good start is on the line,
// at full speed, at the gun.

#include <memory>

#include <QPointF>

#include "render/pages/race_page.h"

namespace keelrun {

// Metres east and north of the start line's middle, turned so that the
// first leg points up: x right, y up.
struct StartFrame {
    GeoPoint middle;
    double cosLat = 1;
    double turn = 0;  // radians the chart is turned by
    QPointF metres(GeoPoint p) const;
};
// Nothing where the course does not start at a line.
std::optional<StartFrame> startFrame(const RaceState &race);

std::unique_ptr<RacePage> makeStartPage();

}  // namespace keelrun
