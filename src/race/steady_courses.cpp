#include "race/steady_courses.h"

#include <algorithm>
#include <cmath>

#include "base/numbers.h"

namespace keelrun {
namespace {

// The first and last fix within kSteadySeconds of a fix, and the course
// made good between them, where there are enough fixes a distance apart.
struct Span {
    int before = 1, after = 1;
    double north = 0, east = 0, length = 0;

    bool madeGood() const { return after - before >= 2 && length > 0; }

    // Moves both ends on to fix i from where they stood for an earlier fix,
    // and works out the course between them.
    void walkTo(const BoatEntry &boat, int i, double cosLat)
    {
        const auto &s = boat.samples;
        while (s[before].time < s[i].time - kSteadySeconds)
            ++before;
        while (after < boat.sampleCount() && s[after + 1].time <= s[i].time + kSteadySeconds)
            ++after;
        north = s[after].lat - s[before].lat;
        east = (s[after].lon - s[before].lon) * cosLat;
        length = std::sqrt(north * north + east * east);
    }
};

// The course as a unit vector: the one made good, or else the fix's own.
CourseVector vectorOf(const Span &span, double heading)
{
    if (span.madeGood())
        return {span.north / span.length, span.east / span.length};
    return {std::cos(heading * kDegree), std::sin(heading * kDegree)};
}

}  // namespace

SteadyCourses::SteadyCourses(const BoatEntry &boat, double cosLat) : boat_(&boat), cosLat_(cosLat)
{
    const auto &s = boat.samples;
    const int n = boat.sampleCount();
    const bool ordered = inTimeOrder(s.begin() + 1, s.begin() + n + 1);
    time.resize(n + 1);
    heading.resize(n + 1);
    if (!ordered)
        vectors_.resize(n + 1);
    Span span;
    for (int i = 1; i <= n; ++i) {
        span.walkTo(boat, i, cosLat);
        if (span.madeGood()) {
            time[i] = s[i].time;
            heading[i] = std::atan2(span.east, span.north) / kDegree;
        } else {
            time[i] = i < n ? (s[i].time + s[i + 1].time) / 2 : s[i].time;
            heading[i] = s[i].heading;
        }
        if (!ordered)
            vectors_[i] = vectorOf(span, heading[i]);
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
    Span span;
    span.before = span.after = first;
    while (span.before > 1 && s[span.before - 1].time >= s[first].time - kSteadySeconds)
        --span.before;
    for (int i = first; i <= last; ++i) {
        span.walkTo(*boat_, i, cosLat_);
        add(vectorOf(span, heading[i]));
    }
    return total;
}

}  // namespace keelrun
