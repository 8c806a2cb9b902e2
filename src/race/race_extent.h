#pragma once
// The area the race covers, from the boats' tracks: what the map frames when
// it shows the whole race.

#include <algorithm>

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

// The race extent: every sample inside the playback window, with a 20 %
// margin, the spans made equal in ground distance.
RaceExtent computeRaceExtent(const RaceState &race);

}  // namespace keelrun
