#include "race/steady_courses.h"

#include <algorithm>
#include <cmath>

#include "base/numbers.h"

namespace keelrun {

SteadyCourses::SteadyCourses(const BoatEntry &boat, double cosLat) : boat_(&boat), cosLat_(cosLat)
{
    const auto &s = boat.samples;
    const int n = boat.sampleCount();
    const bool inTimeOrder =
        std::is_sorted(s.begin() + 1, s.begin() + n + 1, [](const TrackSample &a, const TrackSample &b) { return a.time < b.time; });
    time.resize(n + 1);
    heading.resize(n + 1);
    if (!inTimeOrder)
        vectors_.resize(n + 1);
    int before = 1, after = 1;
    for (int i = 1; i <= n; ++i) {
        walkTo(i, before, after);
        const Span made = span(before, after);
        if (made.madeGood()) {
            time[i] = s[i].time;
            heading[i] = std::atan2(made.east, made.north) / kDegree;
        } else {
            time[i] = i < n ? (s[i].time + s[i + 1].time) / 2 : s[i].time;
            heading[i] = s[i].heading;
        }
        if (!inTimeOrder)
            vectors_[i] = vectorOf(i, made);
    }
}

CourseVector SteadyCourses::sum(int first, int last) const
{
    CourseVector total;
    const auto add = [&](const CourseVector &v) {
        total.north += v.north;
        total.east += v.east;
    };
    if (!vectors_.empty()) {
        for (int i = first; i <= last; ++i)
            add(vectors_[i]);
        return total;
    }
    if (first > last)
        return total;
    // In time order the fixes within kSteadySeconds of a fix lie next to
    // it: the first of them, for the first fix, is found by going back
    // from it; from there both ends move on as in the walk along the track.
    const auto &s = boat_->samples;
    int before = first, after = first;
    while (before > 1 && s[before - 1].time >= s[first].time - kSteadySeconds)
        --before;
    for (int i = first; i <= last; ++i) {
        walkTo(i, before, after);
        add(vectorOf(i, span(before, after)));
    }
    return total;
}

void SteadyCourses::walkTo(int i, int &before, int &after) const
{
    const auto &s = boat_->samples;
    const int n = boat_->sampleCount();
    while (s[before].time < s[i].time - kSteadySeconds)
        ++before;
    while (after < n && s[after + 1].time <= s[i].time + kSteadySeconds)
        ++after;
}

SteadyCourses::Span SteadyCourses::span(int before, int after) const
{
    const auto &s = boat_->samples;
    const double north = s[after].lat - s[before].lat, east = (s[after].lon - s[before].lon) * cosLat_;
    return {before, after, north, east, std::sqrt(north * north + east * east)};
}

CourseVector SteadyCourses::vectorOf(int i, const Span &span) const
{
    if (span.madeGood())
        return {span.north / span.length, span.east / span.length};
    return {std::cos(heading[i] * kDegree), std::sin(heading[i] * kDegree)};
}

}  // namespace keelrun
