#include "race/start_analysis.h"

#include <algorithm>

#include "race/roundings.h"
#include "race/steady_courses.h"
#include "race/track_derivation.h"

namespace keelrun {
namespace {

// The start line, when the course starts at one whose course side is known.
std::optional<CourseLine> startLine(const RaceState &race)
{
    if (race.courseLength() < 2 || startLineCourseSide(race) == 0)
        return std::nullopt;
    return race.lines[parseCourseItem(race, race.course[0]).number];
}

// The speed made good about race time t: at the gun a boat speeds up over
// seconds, and a fix's own speed, over a path the GPS noise lengthens, runs
// high at a few knots.
std::optional<double> knotsAt(const RaceState &race, const BoatEntry &boat, double t)
{
    const auto place = placeOnTrack(boat, t);
    if (!place)
        return std::nullopt;
    const int next = std::min(place->fix + 1, boat.sampleCount());
    const std::vector<MadeGood> around = madeGoodAt(boat, race.extent.cosLat, kSteadySeconds, {place->fix, next});
    return place->mix([&](int i) { return around[i == place->fix ? 0 : 1].knots; });
}

}  // namespace

BoatStart analyseStart(const RaceState &race, const BoatEntry &boat)
{
    BoatStart start;
    start.overEarly = boat.overEarly;
    for (std::size_t k = 0; k < kApproachMoments.size(); ++k) {
        if (const auto at = sampleAt(boat, kApproachMoments[k]))
            start.approach[k] = GeoPoint{at->lat, at->lon};
    }
    if (passed(boat.roundingTime[1])) {
        start.startTime = boat.roundingTime[1];
        start.knotsAtStart = knotsAt(race, boat, boat.roundingTime[1]);
    }
    start.knotsAtGun = knotsAt(race, boat, 0);
    const auto gun = sampleAt(boat, 0);
    const auto line = startLine(race);
    if (gun && line) {
        const LineSide side(*line);
        start.metresFromLine = -side(*gun) * startLineCourseSide(race);
        start.placeAlongLine = side.along(gun->lat, gun->lon);
    }
    return start;
}

std::vector<BoatStart> analyseStarts(const RaceState &race)
{
    std::vector<BoatStart> starts(race.boatCount + 1);
    for (int b = 1; b <= race.boatCount; ++b)
        starts[b] = analyseStart(race, race.boats[b]);
    return starts;
}

}  // namespace keelrun
