#include "race/race_extent.h"

#include <cmath>
#include <vector>

#include "base/numbers.h"
#include "base/parallel.h"

namespace keelrun {

RaceExtent computeRaceExtent(const RaceState &race)
{
    // Each boat's box on every processor, joined in boat order: a box keeps
    // the first of equal extremes, as one pass over all the samples would.
    std::vector<GeoBox> boxes(race.boatCount + 1);
    parallelFor(1, race.boatCount, [&](int b) {
        const BoatEntry &boat = race.boats[b];
        for (int i = 1; i <= boat.sampleCount(); ++i) {
            const TrackSample &s = boat.samples[i];
            if (s.time >= race.windowStart && s.time <= race.windowEnd)
                boxes[b].add(s.lat, s.lon);
        }
    });
    GeoBox box{-20000, 20000, -20000, 20000};
    for (int b = 1; b <= race.boatCount; ++b)
        box.add(boxes[b]);
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
