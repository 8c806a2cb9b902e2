#include "race/fleet_polars.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <utility>

#include "base/parallel.h"
#include "race/manoeuvres.h"
#include "race/steady_courses.h"

namespace keelrun {
namespace {

// For a keelboat; a faster boat's are shorter (paceScale).
constexpr double kRoundingSeconds = 60;  // either side of a rounding, the boat is not on a steady course
constexpr double kSpeedSpan = 20;        // either side of a fix, the speed and course are made good over
constexpr double kFixSeconds = 1;        // the least time between two fixes taken

bool windSpeedsRecorded(const RaceState &race) { return race.windSampleCount() > 0 && race.maxWindSpeed > 0; }

// The stretches of a boat's race that are not steady sailing, its speeds
// made good over `span` either side: about its roundings and its tacks and
// gybes, in time order, overlapping ones merged.
std::vector<std::pair<double, double>> unsteadyStretches(const RaceState &race, const BoatEntry &boat, double scale, double span)
{
    std::vector<std::pair<double, double>> stretches;
    for (int k = 1; k <= race.courseLength(); ++k) {
        const double reach = kRoundingSeconds * scale;
        if (passed(boat.roundingTime[k]))
            stretches.emplace_back(boat.roundingTime[k] - reach, boat.roundingTime[k] + reach);
    }
    for (const Manoeuvre &m : boat.manoeuvres) {
        const double reach = m.duration + span;
        stretches.emplace_back(m.time - reach, m.time + reach);
    }
    std::sort(stretches.begin(), stretches.end());
    std::vector<std::pair<double, double>> merged;
    for (const auto &s : stretches) {
        if (!merged.empty() && s.first <= merged.back().second)
            merged.back().second = std::max(merged.back().second, s.second);
        else
            merged.push_back(s);
    }
    return merged;
}

// The fixes of a boat's race on steady courses, a second apart at least.
std::vector<int> steadyFixIndices(const RaceState &race, const BoatEntry &boat, double scale, double span)
{
    std::vector<int> fixes;
    const double start = boat.roundingTime[1], finish = boat.roundingTime[race.courseLength()];
    if (race.courseLength() < 2 || !passed(start))
        return fixes;
    const double end = passed(finish) ? finish : std::numeric_limits<double>::infinity();
    const auto unsteady = unsteadyStretches(race, boat, scale, span);
    auto stretch = unsteady.begin();
    double lastTaken = -std::numeric_limits<double>::infinity();
    for (int i = 1; i <= boat.sampleCount(); ++i) {
        const double t = boat.samples[i].time;
        if (t < start || t > end || t < lastTaken + kFixSeconds)
            continue;
        while (stretch != unsteady.end() && stretch->second < t)
            ++stretch;
        if (stretch != unsteady.end() && stretch->first <= t)
            continue;
        fixes.push_back(i);
        lastTaken = t;
    }
    return fixes;
}

// Between the two values either side of the share's place in order.
double percentile(std::vector<double> values, double share)
{
    const double place = share * static_cast<double>(values.size() - 1);
    const auto below = values.begin() + static_cast<long>(place);
    std::nth_element(values.begin(), below, values.end());
    const double above = below + 1 < values.end() ? *std::min_element(below + 1, values.end()) : *below;
    return *below + (place - std::floor(place)) * (above - *below);
}

// A bin's place in the table: its band (0 without bands), then its angle.
using BinKey = std::pair<int, int>;

BinKey binOf(double twa, std::optional<double> tws)
{
    const int angle = std::min(static_cast<int>(twa / kAngleBinDegrees), 180 / kAngleBinDegrees - 1) * kAngleBinDegrees;
    return {tws ? static_cast<int>(*tws / kWindBandKnots) * kWindBandKnots : 0, angle};
}

BinKey keyOf(const PolarBin &bin) { return {bin.twsFrom.value_or(0), bin.twaFrom}; }

}  // namespace

std::vector<SteadyFix> steadyFixes(const RaceState &race, const BoatEntry &boat, const WindDirectionAt &wind)
{
    // Over a long span the wander of the GPS fixes tells little in the
    // speed: over a few seconds it would lift the quickest speeds.
    const double scale = paceScale(race, boat), span = kSpeedSpan * scale;
    const std::vector<int> indices = steadyFixIndices(race, boat, scale, span);
    std::vector<double> times;
    for (const int i : indices)
        times.push_back(boat.samples[i].time);
    const std::vector<double> twd = wind.along(times);
    const std::vector<MadeGood> madeGood = madeGoodAt(boat, race.extent.cosLat, span, indices);
    const bool speeds = windSpeedsRecorded(race);
    std::vector<SteadyFix> fixes;
    for (std::size_t k = 0; k < indices.size(); ++k) {
        fixes.push_back({times[k], std::abs(std::remainder(madeGood[k].heading - twd[k], 360.0)), madeGood[k].knots,
                         speeds ? std::optional<double>(recordedWindSpeed(race.windSamples, times[k])) : std::nullopt});
    }
    return fixes;
}

std::optional<double> FleetPolar::targetFor(double twa, std::optional<double> tws) const
{
    const BinKey key = binOf(twa, bandsByWindSpeed ? tws : std::nullopt);
    const auto bin = std::lower_bound(bins.begin(), bins.end(), key, [](const PolarBin &b, const BinKey &k) { return keyOf(b) < k; });
    if (bin == bins.end() || keyOf(*bin) != key)
        return std::nullopt;
    return bin->target;
}

FleetFixes fleetSteadyFixes(const RaceState &race)
{
    const WindDirectionAt wind = analysisWind(race);
    FleetFixes fixes(race.boatCount + 1);
    parallelFor(1, race.boatCount, [&](int b) { fixes[b] = steadyFixes(race, race.boats[b], wind); });
    return fixes;
}

FleetPolar fleetPolar(const RaceState &race, const FleetFixes &fixes)
{
    FleetPolar polar;
    polar.windFromRecords = race.windSampleCount() > 0;
    polar.bandsByWindSpeed = windSpeedsRecorded(race);
    std::map<BinKey, std::vector<double>> speeds;
    for (const std::vector<SteadyFix> &boatFixes : fixes) {
        for (const SteadyFix &f : boatFixes)
            speeds[binOf(f.twa, f.tws)].push_back(f.knots);
    }
    for (const auto &[key, knots] : speeds) {
        PolarBin bin;
        bin.twaFrom = key.second;
        if (polar.bandsByWindSpeed)
            bin.twsFrom = key.first;
        bin.fixes = static_cast<int>(knots.size());
        if (bin.fixes >= kTargetFixes)
            bin.target = percentile(knots, kTargetPercentile);
        polar.bins.push_back(bin);
    }
    return polar;
}

ItemTable<std::optional<double>> targetShares(const RaceState &race, const BoatEntry &boat, const std::vector<SteadyFix> &fixes,
                                              const FleetPolar &polar)
{
    ItemTable<std::optional<double>> shares{};
    for (int leg = 1; leg < race.courseLength(); ++leg) {
        const double from = boat.roundingTime[leg], to = boat.roundingTime[leg + 1];
        if (!passed(from) || !passed(to))
            continue;
        const auto before = [](const SteadyFix &f, double t) { return f.time < t; };
        const auto first = std::lower_bound(fixes.begin(), fixes.end(), from, before);
        const auto last = std::lower_bound(first, fixes.end(), to, before);
        double sum = 0;
        int counted = 0;
        for (auto f = first; f != last; ++f) {
            const auto target = polar.targetFor(f->twa, f->tws);
            if (target && *target > 0) {
                sum += f->knots / *target;
                ++counted;
            }
        }
        if (counted > 0)
            shares[leg] = sum / counted;
    }
    return shares;
}

}  // namespace keelrun
