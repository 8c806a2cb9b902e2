#include "race/race_extent.h"

#include <cmath>

#include "base/numbers.h"

namespace keelrun {

RaceExtent computeRaceExtent(const RaceState &race)
{
    GeoBox box{-20000, 20000, -20000, 20000};
    for (int b = 1; b <= race.boatCount; ++b) {
        const BoatEntry &boat = race.boats[b];
        for (int i = 1; i <= boat.sampleCount(); ++i) {
            const TrackSample &s = boat.samples[i];
            if (s.time >= race.windowStart && s.time <= race.windowEnd)
                box.add(s.lat, s.lon);
        }
    }
    RaceExtent e;
    e.maxLat = box.maxLat;
    e.minLat = box.minLat;
    e.maxLon = box.maxLon;
    e.minLon = box.minLon;
    e.centreLat = (e.maxLat + e.minLat) / 2;
    e.centreLon = (e.maxLon + e.minLon) / 2;
    e.cosLat = std::cos(e.centreLat / 60 * kDegree);
    e.latSpan = (e.maxLat - e.minLat) * 1.2;
    e.lonSpan = (e.maxLon - e.minLon) * 1.2;
    if (e.lonSpan * e.cosLat >= e.latSpan)
        e.latSpan = e.lonSpan * e.cosLat;
    else
        e.lonSpan = e.latSpan / e.cosLat;
    return e;
}

}  // namespace keelrun
