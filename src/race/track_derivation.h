#pragma once
// What every page derives from a boat's track once per load: each fix's
// speed and course over ground, and the distance the boat sailed on each
// leg. Distances use the flat projection of the race area (its cosLat).

#include <optional>
#include <vector>

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

// Where race time t falls on a boat's track: between fix `fix`, at or
// before it, and the next (none after the last fix alone), `share` of the
// way. Nothing before its first fix, after its last, or in a gap of its
// track. The track must be in time order, as loaded.
struct TrackPlace {
    int fix = 0;
    double share = 0;
    // A value of each fix, `of(i)`, in proportion between the two.
    template <typename Of>
    double mix(Of &&of) const { return share > 0 ? (1 - share) * of(fix) + share * of(fix + 1) : of(fix); }
};
std::optional<TrackPlace> placeOnTrack(const BoatEntry &boat, double t);

// The boat at race time t, between the fixes either side: position and
// speed in proportion, the course of the fix before; nothing where
// placeOnTrack finds no place.
std::optional<TrackSample> sampleAt(const BoatEntry &boat, double t);

// The metres a boat sailed between two race times along its track, the
// pieces of the segments the times fall in included; 0 (not known) when
// its track has a gap between them. The track must outlive this.
class SailedDistance {
public:
    SailedDistance(const BoatEntry &boat, double cosLat);
    // With the track's segment lengths already measured: [i] from fix i to
    // fix i + 1, NaN across a gap.
    SailedDistance(const BoatEntry &boat, double cosLat, std::vector<double> segments);
    double between(double from, double to) const;

private:
    const BoatEntry &boat_;
    double cosLat_;
    bool ordered_;
    std::vector<double> segments_;
};

}  // namespace keelrun
