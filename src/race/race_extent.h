#pragma once
// The area the race covers, from the boats' tracks: what the map frames when
// it shows the whole race.

#include <algorithm>
#include <vector>

#include "model/race_state.h"

namespace keelrun {

// A box in minutes of arc that grows to take in points.
struct GeoBox {
    double maxLat = -50000, minLat = 50000, maxLon = -50000, minLon = 50000;

    void add(double lat, double lon)
    {
        maxLat = std::max(maxLat, lat);
        minLat = std::min(minLat, lat);
        maxLon = std::max(maxLon, lon);
        minLon = std::min(minLon, lon);
    }
    void add(GeoPoint p) { add(p.lat, p.lon); }
    void add(const GeoBox &other)
    {
        maxLat = std::max(maxLat, other.maxLat);
        minLat = std::min(minLat, other.minLat);
        maxLon = std::max(maxLon, other.maxLon);
        minLon = std::min(minLon, other.minLon);
    }
};

// A run of a track's fixes: their box, and their earliest and latest times.
// A track's blocks are worked out where it has just been read and is still
// in the cache; the extent then takes a block that lies wholly inside the
// replay window whole, without going over its fixes again.
struct FixBlock {
    int first = 0, last = 0;  // the fixes
    double earliest = 0, latest = 0;
    GeoBox box;
};
inline constexpr int kFixesPerBlock = 256;

// The blocks of the boat's fixes, kFixesPerBlock at a time from fix 1.
std::vector<FixBlock> fixBlocks(const BoatEntry &boat);

// The race extent: every sample inside the playback window, with a 20 %
// margin, the spans made equal in ground distance. `blocks[b]` are the
// fixBlocks of boat b as its track stands.
RaceExtent computeRaceExtent(const RaceState &race, const std::vector<std::vector<FixBlock>> &blocks);

}  // namespace keelrun
