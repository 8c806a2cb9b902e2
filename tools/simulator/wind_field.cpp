#include "wind_field.h"

#include <cmath>
#include <numbers>

namespace keelrun::sim {
namespace {
constexpr double kPuffLane = 12000;  // metres of wind axis the puffs cycle through
}

double WindField::Wave::at(double t) const
{
    return amplitude * std::sin(2 * std::numbers::pi * t / period + phase);
}

WindField::WindField(Random rng, double meanDirection, double meanSpeed)
    : meanDirection_(meanDirection), meanSpeed_(meanSpeed),
      downwind_(towards(meanDirection + 180)), right_(towards(meanDirection + 90))
{
    const double swing = rng.uniform(3, 15);  // the peak oscillation of the direction, degrees
    const double period = rng.uniform(240, 720);
    directionWaves_ = {{0.7 * swing, period, rng.uniform(0, 7)},
                       {0.3 * swing, period * rng.uniform(1.6, 2.6), rng.uniform(0, 7)}};
    speedWaves_ = {{0.08, rng.uniform(400, 1000), rng.uniform(0, 7)},
                   {0.04, rng.uniform(120, 300), rng.uniform(0, 7)}};
    driftPerHour_ = rng.uniform(-5, 5);
    directionGradient_ = rng.uniform(-3, 3);  // degrees per km to the right of the axis
    speedGradient_ = rng.uniform(-0.08, 0.08);
    for (int i = 0; i < 24; ++i)
        puffs_.push_back({rng.uniform(-0.12, 0.18), rng.uniform(-4, 4), rng.uniform(150, 450),
                          rng.uniform(0, kPuffLane), rng.uniform(-3000, 3000)});
}

Wind WindField::at(double t, Vec2 where) const
{
    const double acrossKm = dot(where, right_) / 1000;
    const double along = dot(where, downwind_);
    double direction = meanDirection_ + driftPerHour_ * t / 3600 + directionGradient_ * acrossKm;
    double share = 1 + speedGradient_ * acrossKm;
    for (const Wave &w : directionWaves_)
        direction += w.at(t);
    for (const Wave &w : speedWaves_)
        share += w.at(t);
    // Puffs travel down the course at about 60 % of the wind speed.
    const double travelled = 0.6 * meanSpeed_ * (1852.0 / 3600.0) * t;
    for (const Puff &p : puffs_) {
        const double centre = std::fmod(p.along0 + travelled + 10 * kPuffLane, kPuffLane) - kPuffLane / 2;
        const double da = along - centre;
        const double dc = acrossKm * 1000 - p.across;
        const double spread = (da * da + dc * dc) / (2 * p.radius * p.radius);
        if (spread > 12)  // beyond about five radii the puff is not felt
            continue;
        const double weight = std::exp(-spread);
        share += p.strength * weight;
        direction += p.veer * weight;
    }
    return {std::fmod(direction + 720, 360.0), std::max(meanSpeed_ * share, 1.0)};
}

}  // namespace keelrun::sim
