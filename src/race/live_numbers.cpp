#include "race/live_numbers.h"

#include <cmath>

#include "race/manoeuvres.h"
#include "race/plane.h"
#include "race/track_derivation.h"

namespace keelrun {
namespace {

// The leg a racing boat is on at t: the one after the last course item it
// passed by then.
int legAt(const BoatEntry &boat, int courseLength, double t)
{
    int leg = 1;
    for (int k = 2; k < courseLength; ++k) {
        if (passed(boat.roundingTime[k]) && boat.roundingTime[k] <= t)
            leg = k;
    }
    return leg;
}

}  // namespace

std::vector<LiveNumbers> liveNumbers(const RaceState &race, const CourseProgress &progress, double t)
{
    const std::vector<RunningPlace> order = runningOrder(race, progress, t);
    const CourseMadeGood madeGood(race);
    const WindDirectionAt wind = analysisWind(race);
    const int n = race.courseLength();
    std::vector<LiveNumbers> live;
    for (const RunningPlace &place : order) {
        const BoatEntry &boat = race.boats[place.boat];
        LiveNumbers numbers;
        numbers.boat = place.boat;
        numbers.rank = static_cast<int>(live.size()) + 1;
        numbers.finished = place.finished;
        numbers.gapSeconds = place.gapSeconds;
        numbers.gapMetres = place.gapMetres;
        numbers.progressMetres = madeGood.at(boat, t).value_or(place.finished ? madeGood.courseLength() : 0);
        numbers.distanceToGoMetres = std::max(0.0, madeGood.courseLength() - numbers.progressMetres);
        if (const auto here = sampleAt(boat, t)) {
            numbers.sog = here->speed;
            numbers.cog = here->heading;
            numbers.vmg = here->speed * std::cos((here->heading - wind(t)) * kDegree);
            if (!place.finished && n >= 2) {
                numbers.leg = legAt(boat, n, t);
                const GeoPoint next = race.legs.coursePoint[numbers.leg + 1];
                numbers.toNextMetres = std::hypot((next.lat - here->lat) * kMetresPerMinute,
                                                  (next.lon - here->lon) * kMetresPerMinute * race.extent.cosLat);
            }
        }
        live.push_back(numbers);
    }
    return live;
}

}  // namespace keelrun
