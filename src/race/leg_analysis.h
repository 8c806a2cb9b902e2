#pragma once
// Each boat's legs one by one, for a coach's debrief: how long the leg
// took, how much further than the leg the boat sailed, how fast it made
// ground along the leg, its tacks and gybes there and what they cost, how
// near the fleet's target speed it sailed, and the places it won or lost.
//
// A leg runs from the boat's passing of one course item to its passing of
// the next; the first from its own start (not from the gun, as the
// performance table times it), so that a late start shows at the start and
// not as a slow first leg.

#include <optional>
#include <vector>

#include "model/race_state.h"
#include "race/fleet_polars.h"

namespace keelrun {

struct LegResult {
    bool sailed = false;     // the boat passed both ends; nothing below is known otherwise
    double seconds = 0;
    double sailedMetres = 0; // 0 when not known (its logger was off on the leg)
    // The leg's length over the distance sailed: 1 for a boat that sailed
    // straight from mark to mark, about 0.7 on a beat tacked at 45 degrees
    // off the leg; nothing without the distance sailed.
    std::optional<double> efficiency;
    double vmgKnots = 0;     // ground made good along the leg from end to end, over the time
    int tacks = 0, gybes = 0;
    // The seconds its tacks and gybes away from the marks cost. A turn at a
    // mark is counted, but its loss, measured against the course of the
    // leg before, is the rounding's, not the turn's.
    double manoeuvreSeconds = 0;
    int place = 0;           // at the leg's end
    int placesGained = 0;    // its place at the leg's start less its place at the end
    std::optional<double> targetShare;
};

// [boat number][leg], legs 1 to courseLength - 1; slot 0 of each unused.
// The shares of the target speed from the fleet's steady fixes and polar.
std::vector<ItemTable<LegResult>> analyseLegs(const RaceState &race, const FleetFixes &fixes, const FleetPolar &polar);

}  // namespace keelrun
