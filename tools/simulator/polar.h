#pragma once
// Speed polars: a boat's speed through the water as a function of the true
// wind angle (0 = head to wind) and the true wind speed.

#include <array>

namespace keelrun::sim {

struct Vmg {
    double angle = 0;  // true wind angle, degrees
    double speed = 0;  // boat speed at that angle, knots
    double vmg = 0;    // speed made good along the wind axis, knots (positive)
};

class Polar {
public:
    // speedFactor scales the whole polar (1 = the reference boat, a 10 m
    // keelboat); noGoAngle is where the sails start to draw, about 22-25°.
    Polar(double speedFactor, double noGoAngle);

    double speed(double twaDeg, double twsKnots) const;  // knots; the sign of the angle is ignored
    Vmg bestUpwind(double twsKnots) const;
    Vmg bestDownwind(double twsKnots) const;
    // Mean speed along the wind axis on a windward-leeward course: the
    // harmonic mean of the best upwind and downwind VMG.
    double courseSpeed(double twsKnots) const;

private:
    static constexpr int kTableSize = 81;  // every half knot from 0 to 40 knots
    Vmg search(double twsKnots, double from, double to) const;
    Vmg lookUp(const std::array<Vmg, kTableSize> &table, double twsKnots) const;

    double speedFactor_;
    double noGoAngle_;
    std::array<Vmg, kTableSize> upwind_{}, downwind_{};
};

// The time-correction factor of a class: corrected time = elapsed time x
// factor. A boat that sails a windward-leeward course faster than the
// reference boat by some ratio gets that ratio as its factor, so that equally
// sailed boats of different classes end with equal corrected times. Rounded
// to three decimals, as rating certificates print them.
double handicapFactor(const Polar &polar);

}  // namespace keelrun::sim
