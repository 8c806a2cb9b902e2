#pragma once
// One boat's race, second by second: the pre-start, the start, the legs with
// their tacks and gybes, the mark roundings, the finish and the drift after
// it. Boats do not see each other, so each one can be sailed on its own.

#include <limits>
#include <optional>
#include <vector>

#include "course.h"
#include "polar.h"
#include "random.h"
#include "wind_field.h"

namespace keelrun::sim {

// The helmsman and the boat's own plan for the race.
struct BoatPlan {
    const Polar *polar = nullptr;
    double skill = 1;            // share of the polar speed the crew gets out of the boat
    double shiftThreshold = 6;   // degrees of header that make the boat tack
    double cornering = 0.7;      // how far towards a lay line the boat sails before tacking (0..1)
    double minTackGap = 45;      // seconds between two tacks or gybes at least
    double roundingRadius = 20;  // metres from the mark when rounding
    double turnRate = 15;        // degrees per second the helmsman turns at most
    double tackSpeedKept = 0.92; // share of the speed kept through the wind in a tack
    double gybeSpeedKept = 0.95; // and through dead downwind in a gybe
    double startPlace = 0;       // where on the start line, -0.5 (pin) .. 0.5 (committee boat)
    double startDelay = 5;       // seconds after the gun the boat means to cross; negative: over early
    double firstTime = -480;     // race seconds when the boat starts moving (and logging)
    double driftSeconds = 300;   // how long the boat sails about after finishing
    double sailUntil = 0;        // keep sailing at least until then (race seconds)
    double retireAt = std::numeric_limits<double>::infinity();
    bool returnsAfterStart = false;  // over early: goes back below the line and starts again
    bool missesFirstMark = false;    // turns well short of the first windward mark
    std::vector<double> dips;        // race seconds when the boat heads over the start line to dip back
    int gateChoice = 0;              // 0: the nearer gate mark, 1 or 2: the first or second
};

// A turn that took the wind onto the other side while racing: through the
// wind (a tack) or through dead downwind (a gybe). twaIn and twaOut are the
// mean true wind angles (signed, degrees) 10 to 40 seconds before and after,
// and how far the angle strayed from its mean in each of those windows, so
// that a test can tell a turn between two settled beats or runs from a turn
// at a mark from a beat to a run.
struct SailedManoeuvre {
    enum Kind { Tack, Gybe };
    double time = 0;  // race seconds of the first position on the new side
    Kind kind = Tack;
    bool atMark = false;  // while going round a mark
    double twaIn = 0, twaOut = 0;
    double spreadIn = 0, spreadOut = 0;
    // Metres of ground towards the wind (a tack) or away from it (a gybe)
    // the turn cost against sailing on at the speed made good before it.
    double lossMetres = 0;
};

struct BoatRun {
    double firstTime = 0;                        // race seconds of positions[0]
    std::vector<Vec2> positions;                 // one per second, noise-free
    std::vector<std::optional<double>> passings; // per course item, race seconds
    std::optional<double> finishTime;
    std::optional<double> retiredAt;
    std::optional<double> earlyCrossing;  // crossed the start line before the gun
    std::vector<SailedManoeuvre> manoeuvres;
};

// Sails one boat until it has finished and drifted, retired, or the time
// limit (race seconds) is reached. `noise` varies the helming and the waves.
BoatRun sailBoat(const Course &course, const WindField &wind, const BoatPlan &plan, Random noise,
                 double timeLimit);

}  // namespace keelrun::sim
