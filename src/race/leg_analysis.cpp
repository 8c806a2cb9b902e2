#include "race/leg_analysis.h"

#include "base/parallel.h"
#include "race/manoeuvres.h"
#include "race/plane.h"
#include "race/roundings.h"
#include "race/track_derivation.h"

namespace keelrun {
namespace {

constexpr double kKnotsPerMetreSecond = 3600 / kMetresPerMinute;

// Metres made good along the leg's bearing from one moment to another.
double madeGoodAlong(const RaceState &race, const BoatEntry &boat, int leg, double from, double to)
{
    const GeoPoint a = positionAt(boat, from), b = positionAt(boat, to);
    const CourseVector axis = unitVector(race.legs.legBearing[leg]);
    return (b.lat - a.lat) * kMetresPerMinute * axis.north + (b.lon - a.lon) * kMetresPerMinute * race.extent.cosLat * axis.east;
}

void countManoeuvres(const BoatEntry &boat, double from, double to, LegResult &leg)
{
    for (const Manoeuvre &m : boat.manoeuvres) {
        if (m.time < from || m.time >= to)
            continue;
        (m.kind == Manoeuvre::Tack ? leg.tacks : leg.gybes) += 1;
        if (!m.atMark)
            leg.manoeuvreSeconds += m.lossSeconds;
    }
}

ItemTable<LegResult> boatLegs(const RaceState &race, int b, const std::vector<SteadyFix> &fixes, const FleetPolar &polar)
{
    const BoatEntry &boat = race.boats[b];
    const SailedDistance sailed(boat, race.extent.cosLat);
    const ItemTable<std::optional<double>> shares = targetShares(race, boat, fixes, polar);
    ItemTable<LegResult> legs{};
    for (int j = 1; j < race.courseLength(); ++j) {
        const double from = boat.roundingTime[j], to = boat.roundingTime[j + 1];
        if (!passed(from) || !passed(to) || !(to > from))
            continue;
        LegResult &leg = legs[j];
        leg.sailed = true;
        leg.seconds = to - from;
        leg.sailedMetres = sailed.between(from, to);
        if (leg.sailedMetres > 0)
            leg.efficiency = race.legs.legLength[j] / leg.sailedMetres;
        leg.vmgKnots = madeGoodAlong(race, boat, j, from, to) / leg.seconds * kKnotsPerMetreSecond;
        countManoeuvres(boat, from, to, leg);
        leg.place = placeAt(race, b, j + 1);
        leg.placesGained = placeAt(race, b, j) - leg.place;
        leg.targetShare = shares[j];
    }
    return legs;
}

}  // namespace

std::vector<ItemTable<LegResult>> analyseLegs(const RaceState &race, const FleetFixes &fixes, const FleetPolar &polar)
{
    std::vector<ItemTable<LegResult>> legs(race.boatCount + 1);
    parallelFor(1, race.boatCount, [&](int b) { legs[b] = boatLegs(race, b, fixes[b], polar); });
    return legs;
}

}  // namespace keelrun
