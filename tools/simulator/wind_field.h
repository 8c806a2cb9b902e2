#pragma once
// The true wind over the race area: direction (where the wind blows from)
// and speed vary with time and place. The direction oscillates with periods
// of several minutes and drifts slowly; one side of the course gets a little
// more pressure and a slightly different direction; puffs and lulls are
// carried down the course by the wind.

#include <vector>

#include "geometry.h"
#include "random.h"

namespace keelrun::sim {

struct Wind {
    double twd = 0;  // degrees, where the wind comes from
    double tws = 0;  // knots
};

class WindField {
public:
    WindField(Random rng, double meanDirection, double meanSpeed);

    Wind at(double raceSeconds, Vec2 where) const;  // where: metres from the race centre
    double meanDirection() const { return meanDirection_; }
    double meanSpeed() const { return meanSpeed_; }

private:
    struct Wave {
        double amplitude, period, phase;
        double at(double t) const;
    };
    struct Puff {
        double strength;   // share of the mean speed at the centre of the puff
        double veer;       // direction change at the centre, degrees
        double radius;     // metres
        double along0;     // starting distance down the wind axis, metres
        double across;     // distance across the wind axis, metres
    };

    double meanDirection_, meanSpeed_;
    std::vector<Wave> directionWaves_, speedWaves_;
    double driftPerHour_, directionGradient_, speedGradient_;
    std::vector<Puff> puffs_;
    Vec2 downwind_, right_;
};

}  // namespace keelrun::sim
