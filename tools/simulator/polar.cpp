#include "polar.h"

#include <algorithm>
#include <array>
#include <utility>
#include <cmath>
#include <numbers>

namespace keelrun::sim {
namespace {

constexpr double kRad = std::numbers::pi / 180.0;
constexpr double kHandicapWind = 12;  // knots: the wind the ratings are measured in

// Hull speed envelope: grows with the wind and levels off.
double topSpeed(double tws) { return 8.5 * (1 - std::exp(-tws / 8)); }

// Share of the envelope at a wind angle. Nothing inside the no-go zone; the
// sails draw quickly beyond it, the boat is fastest on a beam reach, and the
// speed falls off towards a dead run (more so in light air, when the boat
// must sail higher to keep the sails working).
double angleShare(double twa, double tws, double noGo)
{
    if (twa <= noGo)
        return 0;
    const double drawing = 1 - std::exp(-(twa - noGo) / 9);
    if (twa <= 100)
        return drawing * (1 + 0.1 * std::sin((twa - noGo) / (100 - noGo) * std::numbers::pi / 2));
    const double lightAir = std::clamp((14 - tws) / 10, 0.0, 1.0);
    const double x = (twa - 100) / 80;
    return drawing * (1.1 - (0.6 + 0.15 * lightAir) * x * x);
}

// A foiler flies from about 8 knots of wind, at up to 2.7 times the wind's
// speed, 48 knots at most.
double foilingTopSpeed(double tws) { return std::min(2.7 * tws * (1 - std::exp(-tws / 5)), 48.0); }

// A foiler's share of its top speed at a wind angle: about half of it
// close-hauled at 45° (some 20 knots in 15 of wind), all of it on a broad
// reach, and some 35 knots at its best downwind angle near 148°.
double foilingShare(double twa, double noGo)
{
    static constexpr std::array<std::pair<double, double>, 12> kShares{
        {{40, 0.40}, {45, 0.50}, {50, 0.55}, {60, 0.62}, {75, 0.75}, {90, 0.88}, {110, 0.98}, {125, 1.0}, {140, 0.95},
         {155, 0.80}, {170, 0.62}, {180, 0.55}}};
    if (twa <= noGo)
        return 0;
    const double drawing = 1 - std::exp(-(twa - noGo) / 3);
    if (twa <= kShares.front().first)
        return drawing * kShares.front().second;
    for (std::size_t i = 1; i < kShares.size(); ++i) {
        const auto [a0, s0] = kShares[i - 1];
        const auto [a1, s1] = kShares[i];
        if (twa <= a1)
            return drawing * (s0 + (s1 - s0) * (twa - a0) / (a1 - a0));
    }
    return drawing * kShares.back().second;
}

}  // namespace

Polar::Polar(double speedFactor, double noGoAngle, Hull hull) : speedFactor_(speedFactor), noGoAngle_(noGoAngle), hull_(hull)
{
    for (int i = 0; i < kTableSize; ++i) {
        const double tws = std::max(0.5, i * 0.5);
        upwind_[i] = search(tws, noGoAngle_, 90);
        downwind_[i] = search(tws, 90, 180);
    }
}

double Polar::speed(double twaDeg, double twsKnots) const
{
    const double twa = std::min(std::fabs(twaDeg), 180.0), tws = std::max(twsKnots, 0.0);
    if (hull_ == Hull::Foiling)
        return speedFactor_ * foilingTopSpeed(tws) * foilingShare(twa, noGoAngle_);
    return speedFactor_ * topSpeed(tws) * angleShare(twa, twsKnots, noGoAngle_);
}

Vmg Polar::search(double twsKnots, double from, double to) const
{
    Vmg best;
    for (double a = from; a <= to; a += 0.25) {
        const double v = speed(a, twsKnots);
        const double made = std::fabs(v * std::cos(a * kRad));
        if (made > best.vmg)
            best = {a, v, made};
    }
    return best;
}

Vmg Polar::lookUp(const std::array<Vmg, kTableSize> &table, double twsKnots) const
{
    const double x = std::clamp(twsKnots * 2, 0.0, kTableSize - 1.0);
    const int i = std::min(static_cast<int>(x), kTableSize - 2);
    const double f = x - i;
    const Vmg &a = table[i];
    const Vmg &b = table[i + 1];
    return {a.angle + (b.angle - a.angle) * f, a.speed + (b.speed - a.speed) * f, a.vmg + (b.vmg - a.vmg) * f};
}

Vmg Polar::bestUpwind(double twsKnots) const { return lookUp(upwind_, twsKnots); }
Vmg Polar::bestDownwind(double twsKnots) const { return lookUp(downwind_, twsKnots); }

double Polar::courseSpeed(double twsKnots) const
{
    const double up = bestUpwind(twsKnots).vmg;
    const double down = bestDownwind(twsKnots).vmg;
    return up > 0 && down > 0 ? 2 / (1 / up + 1 / down) : 0;
}

double handicapFactor(const Polar &polar)
{
    static const Polar reference(1.0, 23.5);
    return handicapFactor(polar, reference);
}

double handicapFactor(const Polar &polar, const Polar &reference)
{
    const double ratio = polar.courseSpeed(kHandicapWind) / reference.courseSpeed(kHandicapWind);
    return std::round(ratio * 1000) / 1000;
}

}  // namespace keelrun::sim
