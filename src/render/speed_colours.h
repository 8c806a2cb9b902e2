#pragma once
// Tracks coloured by speed, for coaches to see where on the course each
// boat was fast or slow: a ramp from blue (slow) through cyan, green and
// yellow to red (fast) over the fleet's usual speeds, and its legend in
// knots at the map's foot.

#include <vector>

#include <QColor>
#include <QSize>

#include "model/race_state.h"

class QPainter;

namespace keelrun {

// The colour of `knots` on the ramp from scale.low to scale.high; below
// and above it the ends' colours. A scale of one speed colours every speed
// as its middle.
QColor speedColour(double knots, SpeedRange scale);

// The speeds the legend names: round numbers of knots inside the scale,
// at most five, as many as a step of 0.1, 0.2, 0.5, 1, 2, 5... gives; the
// one speed of a scale too narrow for two.
std::vector<double> speedLegendTicks(SpeedRange scale);

// The legend: the ramp as a bar with its ticks named in knots, on the
// line of the map's foot that the race clock and the time choice beside it
// stand on, left of them and under the live numbers at the left. Where
// that line has no room for it between them and `footTakenTo` (how far in
// from the left what stands at the foot there reaches), it stands on the
// time choice instead.
void drawSpeedLegend(QPainter &p, QSize map, SpeedRange scale, int footTakenTo);

}  // namespace keelrun
