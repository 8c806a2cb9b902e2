#pragma once
// The legs of the course: bearing, length and kind (upwind, downwind or
// reach against the mean wind), and each boat's time and distance on the
// upwind and downwind legs.

#include "model/race_state.h"

namespace keelrun {

// Leg kind of a true bearing against the mean wind: within 45 degrees of the
// wind upwind, within 45 degrees of dead downwind downwind, a reach between.
LegKind legKindOf(double legBearing, double magneticVariation, int windDirection);

// Where leg j is measured from: the mark, or end 1 of the line, of course
// item j.
GeoPoint legStart(const RaceState &race, int leg);

// Fills race.legs and the boats' upwind and downwind sums. Needs the
// rounding times and the leg distances.
void buildLegTables(RaceState &race);

}  // namespace keelrun
