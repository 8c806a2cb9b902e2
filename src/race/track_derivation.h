#pragma once
// What every page derives from a boat's track once per load: each fix's
// speed and course over ground, and the distance the boat sailed on each
// leg. Distances use the flat projection of the race area (its cosLat).

#include "model/race_state.h"

namespace keelrun {

// One boat's share, on its own track alone: the speed (knots, smoothed
// over up to three segments) and heading (whole degrees) of every sample,
// boats with fewer than 6 samples keeping zeros; the track cut a minute
// after the boat's finish; and, when it finished, the distance sailed on
// each leg, on the segments measured for the speeds, the last entry being
// the whole race from the gun (zeros otherwise). Returns the boat's top
// speed, leaving out the speeds around a GPS glitch (a fix far off the
// track and straight back), however fast the boat itself sailed.
double deriveBoatTrack(BoatEntry &boat, int courseLength, double cosLat);

// The fix a boat is placed after at race time t, between it and the next,
// for the pictures of a moment (the course diagram's boats, the KML's time
// steps): 0 before its track, in a gap, and in its last segment, where its
// track ends. The track must be in time order, as loaded.
int placedAfter(const BoatEntry &boat, double t);

}  // namespace keelrun
