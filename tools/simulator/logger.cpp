#include "logger.h"

#include <algorithm>
#include <cmath>

namespace keelrun::sim {
namespace {

// A logger that closed its log and opened a new one with the last 30 s of
// the old one in it: the fixes before `at` come again after it.
void repeatBefore(std::vector<Fix> &fixes, std::int64_t at)
{
    constexpr std::int64_t kOverlap = 30;
    const auto from = std::find_if(fixes.begin(), fixes.end(), [&](const Fix &f) { return f.time >= at - kOverlap; });
    const auto to = std::find_if(from, fixes.end(), [&](const Fix &f) { return f.time >= at; });
    const std::vector<Fix> again(from, to);
    fixes.insert(to, again.begin(), again.end());
}

}  // namespace

std::vector<Fix> recordFixes(const BoatRun &run, const LocalPlane &plane, std::int64_t gunUtc,
                             const LoggerPlan &plan, Random noise)
{
    std::vector<Fix> fixes;
    fixes.reserve(run.positions.size() / static_cast<std::size_t>(plan.interval) + 1);
    // The position error wanders slowly (satellite geometry, multipath) with
    // a little jitter on top.
    const double keep = std::exp(-static_cast<double>(plan.interval) / 60.0);
    const double fresh = std::sqrt(1 - keep * keep);
    Vec2 drift{noise.normal() * plan.noise, noise.normal() * plan.noise};
    int afterGun = 0;
    for (std::size_t i = 0; i < run.positions.size(); ++i) {
        const auto t = static_cast<std::int64_t>(run.firstTime) + static_cast<std::int64_t>(i);
        if ((t - plan.phase) % plan.interval != 0)
            continue;
        drift = drift * keep + Vec2{noise.normal(), noise.normal()} * (fresh * plan.noise);
        const Vec2 jitter = Vec2{noise.normal(), noise.normal()} * (0.3 * plan.noise);
        const double elevation = 2.0 + 0.8 * noise.normal();
        if (static_cast<double>(t) > plan.gapFrom && static_cast<double>(t) < plan.gapTo)
            continue;
        if (plan.maxFixesAfterGun >= 0 && (t < 0 || afterGun++ >= plan.maxFixesAfterGun))
            continue;
        const GeoDegrees g = plane.toDegrees(run.positions[i] + drift + jitter);
        fixes.push_back({gunUtc + t - plan.clockOffset, g.lat, g.lon, elevation});
    }
    if (plan.overlapAt != 0)
        repeatBefore(fixes, gunUtc + static_cast<std::int64_t>(plan.overlapAt) - plan.clockOffset);
    return fixes;
}

}  // namespace keelrun::sim
