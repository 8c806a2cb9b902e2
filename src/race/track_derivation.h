#pragma once
// What every page derives from the tracks once per load: each fix's speed
// and course over ground, the fleet's top speed, and the distance each boat
// sailed on each leg. Distances use the flat projection of the race area
// (race.extent.cosLat).

#include <vector>

#include "model/race_state.h"

namespace keelrun {

// Metres from each fix to the next, boat by boat: [b][i] from fix i to fix
// i + 1. Worked out once for the speeds and summed again for the legs.
using SegmentMetres = std::vector<std::vector<double>>;

// Speed (knots, smoothed over up to three segments) and heading (whole
// degrees) of every sample; boats with fewer than 6 samples keep zeros.
// Sets topSpeed: the fastest sample under 20 knots, faster ones being GPS
// glitches. Returns the segments the speeds were measured on.
SegmentMetres deriveSpeedAndHeading(RaceState &race);

// Each finisher's sailed distance per leg, from its rounding times, on the
// segments of its track (which may since have been cut shorter); the last
// entry is the whole race from the gun. Boats that did not finish get zeros.
void computeLegDistances(RaceState &race, const SegmentMetres &segments);

}  // namespace keelrun
