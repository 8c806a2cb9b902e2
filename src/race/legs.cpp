#include "race/legs.h"

#include <cmath>

#include "race/plane.h"
#include "race/roundings.h"

namespace keelrun {
namespace {

// Where a leg ends: the mark, or the middle of the line.
GeoPoint itemPoint(const RaceState &race, const CourseItemRef &item)
{
    if (!item.isLine)
        return itemAnchor(race, item);
    const CourseLine &l = race.lines[item.number];
    return {(l.end1.lat + l.end2.lat) / 2, (l.end1.lon + l.end2.lon) / 2};
}

void measureLegs(RaceState &race)
{
    LegTables &legs = race.legs;
    const int n = race.courseLength();
    double total = 0;
    for (int k = 1; k <= n; ++k)
        legs.coursePoint[k] = itemPoint(race, parseCourseItem(race, race.course[k - 1]));
    for (int j = 1; j < n; ++j) {
        const GeoPoint from = legStart(race, j);
        const GeoPoint to = legs.coursePoint[j + 1];
        const double north = (to.lat - from.lat) * kMetresPerMinute;
        const double east = (to.lon - from.lon) * kMetresPerMinute * race.extent.cosLat;
        legs.legBearing[j] = bearingOf(east, north);
        legs.legLength[j] = std::hypot(north, east);
        legs.legKind[j] = legKindOf(legs.legBearing[j], race.magneticVariation, race.windDirection);
        total += legs.legLength[j];
    }
    if (n >= 1)
        legs.legLength[n] = total;
}

// The outside bisector of the turn at the end of each leg: halfway between
// the reversed incoming leg and the outgoing one, turned to the outside.
void bisectTurns(LegTables &legs, int n)
{
    for (int j = 1; j < n; ++j) {
        double reverse = legs.legBearing[j] + 180;
        if (reverse > 360)
            reverse -= 360;
        const double turn = signedAngle(legs.legBearing[j + 1] - reverse);
        double bisector = reverse + turn / 2 + 180;
        if (bisector > 360)
            bisector -= 360;
        legs.turnBisector[j] = bisector;
    }
}

struct LegSums {
    double seconds = 0;
    double miles = 0;
};

// A boat's time and sailed distance over every leg of one kind, the first
// leg timed from the gun, not from the boat's own start. A boat that missed
// an end of any of them (an item missed or never reached) did not sail that
// kind of leg and gets nothing: a part of the legs set against the whole
// course would rank a boat that retired after the first beat the fastest.
LegSums sumLegsOfKind(const RaceState &race, const BoatEntry &boat, LegKind kind)
{
    LegSums sums;
    for (int j = 1; j < race.courseLength(); ++j) {
        if (race.legs.legKind[j] != kind)
            continue;
        if (!passed(boat.roundingTime[j]) || !passed(boat.roundingTime[j + 1]))
            return {};
        sums.seconds += j == 1 ? boat.roundingTime[2] : boat.roundingTime[j + 1] - boat.roundingTime[j];
        sums.miles += boat.legDistance[j] / kMetresPerMinute;
    }
    return sums;
}

void sumUpwindAndDownwind(RaceState &race)
{
    for (int b = 1; b <= race.boatCount; ++b) {
        BoatEntry &boat = race.boats[b];
        const LegSums up = sumLegsOfKind(race, boat, Upwind), down = sumLegsOfKind(race, boat, Downwind);
        boat.upwindTime = up.seconds;
        boat.upwindDistance = up.miles;
        boat.downwindTime = down.seconds;
        boat.downwindDistance = down.miles;
    }
}

}  // namespace

GeoPoint legStart(const RaceState &race, int leg) { return itemAnchor(race, parseCourseItem(race, race.course[leg - 1])); }

LegKind legKindOf(double legBearing, double magneticVariation, int windDirection)
{
    double a = legBearing - magneticVariation;
    if (a < 0)
        a += 360;
    if (a > 360)
        a -= 360;
    a = std::fabs(signedAngle(a - windDirection));
    if (a < 45)
        return Upwind;
    if (a > 135)
        return Downwind;
    return Reach;
}

void buildLegTables(RaceState &race)
{
    race.legs = LegTables{};
    measureLegs(race);
    bisectTurns(race.legs, race.courseLength());
    sumUpwindAndDownwind(race);
}

}  // namespace keelrun
