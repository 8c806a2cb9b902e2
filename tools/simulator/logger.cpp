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

std::int64_t floorDivide(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

}  // namespace

bool betweenSeconds(const std::vector<Fix> &fixes)
{
    return std::any_of(fixes.begin(), fixes.end(), [](const Fix &f) { return f.millisecond != 0; });
}

std::vector<Fix> recordFixes(const BoatRun &run, const LocalPlane &plane, std::int64_t gunUtc,
                             const LoggerPlan &plan, Random noise)
{
    std::vector<Fix> fixes;
    if (run.positions.empty())
        return fixes;
    const std::int64_t interval = std::max<std::int64_t>(1, std::llround(plan.interval * 1000));  // milliseconds
    const std::int64_t phase = std::llround(plan.phase * 1000);
    const std::int64_t first = static_cast<std::int64_t>(run.firstTime) * 1000;
    const std::int64_t last = first + static_cast<std::int64_t>(run.positions.size() - 1) * 1000;
    fixes.reserve(static_cast<std::size_t>((last - first) / interval + 1));
    // The position error wanders slowly (satellite geometry, multipath) with
    // a little jitter on top; a logger writing several times a second
    // smooths its fixes, and its jitter is as much smaller.
    const double keep = std::exp(-plan.interval / 60.0);
    const double fresh = std::sqrt(1 - keep * keep);
    const double jitterSize = 0.3 * plan.noise * std::min(1.0, plan.interval);
    Vec2 drift{noise.normal() * plan.noise, noise.normal() * plan.noise};
    int afterGun = 0;
    // The first fix time at or after the first position on the logger's grid.
    const std::int64_t offGrid = ((first - phase) % interval + interval) % interval;
    for (std::int64_t t = offGrid == 0 ? first : first + interval - offGrid; t <= last; t += interval) {
        drift = drift * keep + Vec2{noise.normal(), noise.normal()} * (fresh * plan.noise);
        const Vec2 jitter = Vec2{noise.normal(), noise.normal()} * jitterSize;
        const double elevation = 2.0 + 0.8 * noise.normal();
        const double seconds = static_cast<double>(t) / 1000;
        if (seconds > plan.gapFrom && seconds < plan.gapTo)
            continue;
        if (plan.maxFixesAfterGun >= 0 && (t < 0 || afterGun++ >= plan.maxFixesAfterGun))
            continue;
        // Between two of the boat's positions, a second apart, it sails straight.
        const auto i = static_cast<std::size_t>((t - first) / 1000);
        const double f = static_cast<double>((t - first) % 1000) / 1000;
        const Vec2 at = f == 0 ? run.positions[i] : run.positions[i] + (run.positions[i + 1] - run.positions[i]) * f;
        const GeoDegrees g = plane.toDegrees(at + drift + jitter);
        const std::int64_t logged = gunUtc * 1000 + t - std::int64_t{plan.clockOffset} * 1000;
        const std::int64_t second = floorDivide(logged, 1000);
        fixes.push_back({second, g.lat, g.lon, elevation, static_cast<int>(logged - second * 1000)});
    }
    if (plan.overlapAt != 0)
        repeatBefore(fixes, gunUtc + static_cast<std::int64_t>(plan.overlapAt) - plan.clockOffset);
    return fixes;
}

}  // namespace keelrun::sim
