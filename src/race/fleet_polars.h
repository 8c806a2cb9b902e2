#pragma once
// The fleet's polars: how fast the boats sailed at each angle to the true
// wind (and, where the wind records give its speed, in each band of wind
// speed), and the target speed they set: the speed the fleet's quickest
// reached there, its 90th percentile. A boat's share of the target is how
// near it sailed to the best of the fleet.
//
// Only fixes on steady courses count: between the boat's start and its
// finish, clear of its tacks and gybes (each one's duration either side of
// the moment the wind changed side, and the span its speed is taken over)
// and of the minute either side of each rounding. The speed is the one
// made good over a few seconds, as the courses are steadied; the angle is
// that course's off the wind the analysis uses (the wind records, else the
// fleet's estimate), folded to 0..180 degrees. A fix a second at most is
// taken, so that a logger writing ten times a second counts no more than
// one writing once.

#include <optional>
#include <vector>

#include "model/race_state.h"
#include "race/wind_direction_at.h"

namespace keelrun {

inline constexpr int kAngleBinDegrees = 5;
inline constexpr int kWindBandKnots = 4;
inline constexpr int kTargetFixes = 30;         // the fewest fixes a bin needs for a target
inline constexpr double kTargetPercentile = 0.9;

// A fix on a steady course.
struct SteadyFix {
    double time = 0;
    double twa = 0;              // degrees off the true wind, 0..180
    double knots = 0;
    std::optional<double> tws;   // knots, where the wind records give speeds
};

std::vector<SteadyFix> steadyFixes(const RaceState &race, const BoatEntry &boat, const WindDirectionAt &wind);

// Every boat's, by boat number (slot 0 empty), against the wind the
// analysis uses.
using FleetFixes = std::vector<std::vector<SteadyFix>>;
FleetFixes fleetSteadyFixes(const RaceState &race);

struct PolarBin {
    int twaFrom = 0;                 // the bin holds angles from here to kAngleBinDegrees on
    std::optional<int> twsFrom;      // the band holds wind speeds from here to kWindBandKnots on; nothing: every speed
    int fixes = 0;
    std::optional<double> target;    // knots, with kTargetFixes fixes or more
};

struct FleetPolar {
    bool windFromRecords = false;    // else the fleet's estimate of the wind
    bool bandsByWindSpeed = false;   // the wind records give speeds
    std::vector<PolarBin> bins;      // those with fixes, by band, then angle

    // The target at an angle (and wind speed), where its bin has one.
    std::optional<double> targetFor(double twa, std::optional<double> tws) const;
};

FleetPolar fleetPolar(const RaceState &race, const FleetFixes &fixes);
inline FleetPolar fleetPolar(const RaceState &race) { return fleetPolar(race, fleetSteadyFixes(race)); }

// A boat's share of the target on each leg: the mean, over its steady
// fixes on the leg (from its passing of item j to that of item j + 1) whose
// bin has a target, of its speed over the target. Nothing for a leg it did
// not sail from end to end, or with no such fix.
ItemTable<std::optional<double>> targetShares(const RaceState &race, const BoatEntry &boat, const std::vector<SteadyFix> &fixes,
                                              const FleetPolar &polar);

}  // namespace keelrun
