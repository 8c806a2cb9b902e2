#include "race/wind_direction_at.h"

#include <algorithm>
#include <cmath>

#include "race/plane.h"

namespace keelrun {
namespace {

// The records: where t falls is the first record after it.
std::size_t recordAfter(const std::vector<WindSample> &w, double t)
{
    const auto after = std::upper_bound(w.begin() + 1, w.end(), t, [](double time, const WindSample &x) { return time < x.time; });
    return static_cast<std::size_t>(after - w.begin());
}

// The same, walked on from where an earlier time fell.
std::size_t walkToRecordAfter(const std::vector<WindSample> &w, std::size_t from, double t)
{
    while (from < w.size() && w[from].time <= t)
        ++from;
    return from;
}

// The records either side of race time t, `after` the first after it, and
// t's share of the way from one to the other; beyond the first or the last
// record, that record alone.
struct BetweenRecords {
    const WindSample &a, &b;
    double share;
};
BetweenRecords betweenRecords(const std::vector<WindSample> &w, std::size_t after, double t)
{
    if (after == 1)
        return {w[1], w[1], 0};
    if (after == w.size())
        return {w.back(), w.back(), 0};
    const WindSample &a = w[after - 1], &b = w[after];
    return {a, b, (t - a.time) / std::max(1.0, b.time - a.time)};
}

double recordedDirection(const std::vector<WindSample> &w, std::size_t after, double t)
{
    const BetweenRecords x = betweenRecords(w, after, t);
    return x.a.twd + x.share * signedAngle(x.b.twd - x.a.twd);
}

// The estimates: where t falls is the first estimate at or after it,
// walked on to from where an earlier time fell.
std::size_t walkToEstimate(const std::vector<WindEstimate> &e, std::size_t from, double t)
{
    while (from < e.size() && e[from].time < t)
        ++from;
    return from;
}

// The estimates are a step apart, so the distance from the first finds the
// one for t, and the steps after put right a guess that rounded across a
// whole number.
std::size_t estimateFor(const std::vector<WindEstimate> &e, double step, double t)
{
    const std::size_t n = e.size();
    const double guess = std::ceil((t - e.front().time) / step);
    std::size_t k = guess > 0 ? (guess < double(n) ? static_cast<std::size_t>(guess) : n) : 0;
    while (k > 0 && e[k - 1].time >= t)
        --k;
    return walkToEstimate(e, k, t);
}

double estimatedDirection(const std::vector<WindEstimate> &e, std::size_t from) { return e[std::min(from, e.size() - 1)].twd; }

// The direction at each of `times`: where each falls is walked on to from
// where the one before fell while the times and the records keep in order,
// else looked up.
template <typename LookUp, typename Walk, typename Direction>
std::vector<double> walkAlong(const std::vector<double> &times, bool ordered, LookUp lookUp, Walk walk, Direction direction)
{
    std::vector<double> directions(times.size());
    std::size_t where = 0;
    for (std::size_t k = 0; k < times.size(); ++k) {
        const double t = times[k];
        where = k > 0 && ordered && t >= times[k - 1] ? walk(where, t) : lookUp(t);
        directions[k] = direction(where, t);
    }
    return directions;
}

}  // namespace

WindDirectionAt::WindDirectionAt(double direction) : kind_(Kind::Steady), direction_(direction) {}

WindDirectionAt::WindDirectionAt(const std::vector<WindSample> &records) : kind_(Kind::Recorded), records_(&records) {}

WindDirectionAt::WindDirectionAt(const std::vector<WindEstimate> &estimates, double step)
    : kind_(Kind::Estimated), estimates_(&estimates), step_(step)
{
}

double WindDirectionAt::operator()(double t) const
{
    switch (kind_) {
    case Kind::Steady:
        break;
    case Kind::Recorded:
        return recordedDirection(*records_, recordAfter(*records_, t), t);
    case Kind::Estimated:
        return estimatedDirection(*estimates_, estimateFor(*estimates_, step_, t));
    }
    return direction_;
}

std::vector<double> WindDirectionAt::along(const std::vector<double> &times) const
{
    switch (kind_) {
    case Kind::Steady:
        break;
    case Kind::Recorded: {
        const auto &w = *records_;
        return walkAlong(
            times, inTimeOrder(w.begin() + 1, w.end()), [&](double t) { return recordAfter(w, t); },
            [&](std::size_t from, double t) { return walkToRecordAfter(w, from, t); },
            [&](std::size_t after, double t) { return recordedDirection(w, after, t); });
    }
    case Kind::Estimated: {
        const auto &e = *estimates_;
        return walkAlong(
            times, inTimeOrder(e.begin(), e.end()), [&](double t) { return estimateFor(e, step_, t); },
            [&](std::size_t from, double t) { return walkToEstimate(e, from, t); },
            [&](std::size_t from, double) { return estimatedDirection(e, from); });
    }
    }
    return std::vector<double>(times.size(), direction_);
}

double recordedWindSpeed(const std::vector<WindSample> &records, double t)
{
    const BetweenRecords x = betweenRecords(records, recordAfter(records, t), t);
    return x.a.tws + x.share * (x.b.tws - x.a.tws);
}

}  // namespace keelrun
