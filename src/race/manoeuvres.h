#pragma once
// Tacks and gybes read from a boat's track, what each cost, and the wind
// read from the fleet's turns.
//
// A manoeuvre is a turn from one settled course to another that takes the
// wind onto the other side: through the wind (a tack) when close-hauled
// before and after, through dead downwind (a gybe) when running before and
// after. A settled course is 30 seconds (at least three fixes) in which four
// fixes in five keep within 20 degrees of the mean course, ending 10 seconds
// (at least a fix) before the moment the wind changes side and starting as
// long after it; a tack turns through at least 50 degrees, a gybe 30 (from
// a broad reach onto a dead run). Close-hauled is within 80 degrees of the
// wind, running more than 100 degrees off it. Turns less than a settled
// window apart are one. With fixes a second or two apart the courses are the
// ones made good over 8 seconds, steadied against GPS noise. These
// thresholds hold from one fix a second to one every 30 seconds, for a boat
// sailing at 8 knots or less; for a faster one (its median speed while
// racing) every one of these times shrinks by 8 knots over its speed, to a
// quarter at most, as its turns are quicker and its legs shorter. Only the
// turns between a boat's start and its finish count, when it has them.
//
// Near a rounding (within a minute, scaled as above) a turn is one at the
// mark: a settled course cut short by the rounding is the stretch between
// the turn and the mark, and a turn from a beat or a run onto a reach, or
// from one leg onto the next, is a tack through the wind's eye or a gybe
// through its stern, whichever way it went.
//
// A manoeuvre lasts from the last fix on the course before to the first on
// the course after with the boat back at 95 % of its speed before (at most
// to the end of the settled course after); what it cost is the ground lost
// towards the wind (upwind) or away from it (downwind) against sailing on at
// the speed and angle before, in metres and in seconds of that sailing.

#include <functional>
#include <vector>

#include <QString>

#include "model/race_state.h"
#include "race/wind_direction_at.h"

namespace keelrun {

// How much quicker a boat's turns and legs are than a keelboat's: 1 for a
// boat sailing at 8 knots or less (its median speed while racing), down to
// a quarter for a foiler at four times that. The times turns are looked at
// over are scaled by it.
double paceScale(const RaceState &race, const BoatEntry &boat);

// The wind of the race: its wind records interpolated, else the mean wind.
WindDirectionAt raceWind(const RaceState &race);

std::vector<Manoeuvre> detectManoeuvres(const RaceState &race, const BoatEntry &boat, const WindDirectionAt &wind);

// The wind direction read from the fleet while racing: each tack's bisector
// (a gybe's, turned round) and, between two tacks (or gybes) of a boat on
// one leg, its course less the angle it sails off the wind there (half its
// usual turn); every minute of the race window, the readings weighted by a
// one-minute bell about the minute. Empty without manoeuvres.
std::vector<WindEstimate> estimateWind(const RaceState &race);

// Every boat's manoeuvres and the estimated wind, into the race: with wind
// records, one pass against them; without, a first pass against the wind
// read from the fleet's turns (the race file's mean wind only where the
// fleet cannot tell), and a second against the wind the first pass read
// from the fleet's tacks and gybes. `prepareBoat(b)`, when given,
// is done at the start of the first pass on the thread that goes on to look
// for boat b's turns: work on the same track, while it is in the cache.
void findManoeuvres(RaceState &race, const std::function<void(int)> &prepareBoat = {});

// The wind the analysis uses: the wind records, else the estimate.
WindDirectionAt analysisWind(const RaceState &race);

// The wind directions drawn with the analysis, in time order: the wind
// records', else, marked estimated, the fleet's.
struct WindDirections {
    std::vector<WindEstimate> points;
    bool estimated = false;
};
WindDirections analysisWindDirections(const RaceState &race);

// "5 tacks, 2 gybes, mean loss 3.1 s" for a boat's tip; empty without any.
QString manoeuvreSummary(const BoatEntry &boat);

// Where the boat was at race time t, between its fixes.
GeoPoint positionAt(const BoatEntry &boat, double t);

// "tack" or "gybe".
QString manoeuvreKindName(Manoeuvre::Kind kind);

}  // namespace keelrun
