#pragma once
// The speeds a fleet usually sails at, read from every fix of every boat:
// the ends of the scale the tracks are coloured on by speed.

#include "model/race_state.h"

namespace keelrun {

// Below this a boat is taken to lie still: waiting at the mark boat,
// drifting before the start, or a logger's noise on a mooring.
inline constexpr double kMovingKnots = 1;

// The 5th and the 95th percentile of the speeds of every moving fix of the
// fleet: a GPS glitch or a few becalmed minutes do not stretch the scale
// that the rest of the race is read on. Nothing moving: 0 to 0.
SpeedRange usualSpeedsOf(const RaceState &race);

}  // namespace keelrun
