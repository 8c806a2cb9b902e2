#include "race/race_extent.h"

#include <cmath>
#include <vector>

#include "base/numbers.h"
#include "base/parallel.h"

namespace keelrun {

std::vector<FixBlock> fixBlocks(const BoatEntry &boat)
{
    std::vector<FixBlock> blocks;
    blocks.reserve(static_cast<std::size_t>((boat.sampleCount() + kFixesPerBlock - 1) / kFixesPerBlock));
    for (int first = 1; first <= boat.sampleCount(); first += kFixesPerBlock) {
        const int last = std::min(first + kFixesPerBlock - 1, boat.sampleCount());
        FixBlock block{first, last, boat.samples[first].time, boat.samples[first].time, {}};
        for (int i = first; i <= last; ++i) {
            const TrackSample &s = boat.samples[i];
            block.earliest = std::min(block.earliest, s.time);
            block.latest = std::max(block.latest, s.time);
            block.box.add(s.lat, s.lon);
        }
        blocks.push_back(block);
    }
    return blocks;
}

RaceExtent computeRaceExtent(const RaceState &race, const std::vector<std::vector<FixBlock>> &blocks)
{
    // Each boat's box on every processor, joined in boat order: a box keeps
    // the first of equal extremes, as one pass over all the samples would,
    // and so does a box of whole blocks taken in order.
    std::vector<GeoBox> boxes(race.boatCount + 1);
    parallelFor(1, race.boatCount, [&](int b) {
        const BoatEntry &boat = race.boats[b];
        const auto inWindow = [&](double time) { return time >= race.windowStart && time <= race.windowEnd; };
        for (const FixBlock &block : blocks[b]) {
            if (inWindow(block.earliest) && inWindow(block.latest)) {
                boxes[b].add(block.box);
            } else if (block.latest >= race.windowStart && block.earliest <= race.windowEnd) {
                for (int i = block.first; i <= block.last; ++i) {
                    if (inWindow(boat.samples[i].time))
                        boxes[b].add(boat.samples[i].lat, boat.samples[i].lon);
                }
            }
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
