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

// How the hull goes through the water: a displacement hull (a keelboat or a
// dinghy) is held to its hull speed; a foiling one flies above the water at
// two to three times the wind's speed, its fastest on a broad reach.
enum class Hull { Displacement, Foiling };

class Polar {
public:
    // speedFactor scales the whole polar (1 = the reference boat, a 10 m
    // keelboat, or a 15 m foiling catamaran); noGoAngle is where the sails
    // start to draw, about 22-25° (a foiler's, 35°).
    Polar(double speedFactor, double noGoAngle, Hull hull = Hull::Displacement);

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
    Hull hull_;
    std::array<Vmg, kTableSize> upwind_{}, downwind_{};
};

// The time-correction factor of a class: corrected time = elapsed time x
// factor. A boat that sails a windward-leeward course faster than the
// reference boat by some ratio gets that ratio as its factor, so that equally
// sailed boats of different classes end with equal corrected times. Rounded
// to three decimals, as rating certificates print them. The reference boat
// is the 10 m keelboat, or one of the fleet's own kind.
double handicapFactor(const Polar &polar);
double handicapFactor(const Polar &polar, const Polar &reference);

}  // namespace keelrun::sim
