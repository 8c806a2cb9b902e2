#pragma once
// How each boat started: where it was against the start line at the gun,
// how fast it was going then and when it crossed, and its approach to the
// line. A good start is on the line, at full speed, at the gun.

#include <array>
#include <optional>
#include <vector>

#include "model/race_state.h"

namespace keelrun {

// The moments of the approach kept for a picture of the start: a minute,
// half a minute and nothing before the gun, and ten seconds after it.
inline constexpr std::array<double, 4> kApproachMoments{-60, -30, 0, 10};

struct BoatStart {
    // At the gun: metres from the start line, below it (positive) or on the
    // course side (negative, over it); where along the line the boat was,
    // 0 at end 1 and 1 at end 2 (beyond either end below 0 or above 1); its
    // speed over ground, knots. Nothing where the track has no fix about the
    // gun, or the course starts at no line.
    std::optional<double> metresFromLine;
    std::optional<double> placeAlongLine;
    std::optional<double> knotsAtGun;
    // Its start, the first crossing towards the course after the gun (see
    // the roundings), and its speed then.
    std::optional<double> startTime;
    std::optional<double> knotsAtStart;
    bool overEarly = false;
    // Where it was at each of kApproachMoments, where the track says.
    std::array<std::optional<GeoPoint>, kApproachMoments.size()> approach;
};

BoatStart analyseStart(const RaceState &race, const BoatEntry &boat);

// Every boat's, by boat number (slot 0 unused).
std::vector<BoatStart> analyseStarts(const RaceState &race);

}  // namespace keelrun
