#include "race/steady_courses.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/numbers.h"
#include "race/plane.h"

namespace keelrun {
namespace {

// The first and last fix within `steady` seconds of a fix, and the course
// made good between them, where there are enough fixes a distance apart.
struct Span {
    int before = 1, after = 1;
    double north = 0, east = 0, lengthSquared = 0;

    bool madeGood() const { return after - before >= 2 && lengthSquared > 0; }

    // Moves both ends on to fix i from where they stood for an earlier fix,
    // and works out the course between them.
    void walkTo(const BoatEntry &boat, int i, double cosLat, double steady)
    {
        const auto &s = boat.samples;
        while (s[before].time < s[i].time - steady)
            ++before;
        while (after < boat.sampleCount() && s[after + 1].time <= s[i].time + steady)
            ++after;
        north = s[after].lat - s[before].lat;
        east = (s[after].lon - s[before].lon) * cosLat;
        lengthSquared = north * north + east * east;
    }
};

// The span of fix i on a track in time order, found afresh: its first fix
// by going back from i, its last by going on.
Span spanAround(const BoatEntry &boat, int i, double cosLat, double steady)
{
    const auto &s = boat.samples;
    Span span;
    span.before = span.after = i;
    while (span.before > 1 && s[span.before - 1].time >= s[i].time - steady)
        --span.before;
    span.walkTo(boat, i, cosLat, steady);
    return span;
}

// The course in degrees: the one made good, or else the fix's own.
double courseOf(const Span &span, double ownHeading)
{
    return span.madeGood() ? std::atan2(span.east, span.north) / kDegree : ownHeading;
}

// The speed in knots: the one made good, or else the fix's own.
double speedOf(const BoatEntry &boat, const Span &span, int i)
{
    const auto &s = boat.samples;
    const double seconds = s[span.after].time - s[span.before].time;
    if (!span.madeGood() || !(seconds > 0))
        return s[i].speed;
    return std::sqrt(span.lengthSquared) * 3600 / seconds;  // a minute of arc is a nautical mile
}

// The course as a unit vector: the one made good, or else the fix's own.
CourseVector vectorOf(const Span &span, double ownHeading)
{
    if (span.madeGood()) {
        const double length = std::sqrt(span.lengthSquared);
        return {span.north / length, span.east / length};
    }
    return unitVector(ownHeading);
}

// A fix's own course as a rough one: kept when a float holds it exactly,
// as it holds whole degrees; any other value is left to the exact course
// (not a number).
float roughOwnHeading(double heading)
{
    const bool held = std::abs(heading) <= 360 && static_cast<float>(heading) == heading;
    return held ? static_cast<float>(heading) : std::numeric_limits<float>::quiet_NaN();
}

// How far the rough courses may be from the exact ones, their rounding to
// floats included, with room to spare.
constexpr double kRoughMargin = 10 * kRoughCourseError;

}  // namespace

SteadyCourses::SteadyCourses(const BoatEntry &boat, double cosLat, double steadySeconds)
    : boat_(&boat), cosLat_(cosLat), steady_(steadySeconds)
{
    const auto &s = boat.samples;
    const int n = boat.sampleCount();
    const bool ordered = inTimeOrder(s.begin() + 1, s.begin() + n + 1);
    time.resize(n + 1);
    roughHeading_.resize(n + 1);
    if (!ordered) {
        headings_.resize(n + 1);
        vectors_.resize(n + 1);
    }
    Span span;
    for (int i = 1; i <= n; ++i) {
        span.walkTo(boat, i, cosLat, steady_);
        if (span.madeGood()) {
            time[i] = s[i].time;
            roughHeading_[i] = static_cast<float>(roughCourse(span.east, span.north));
        } else {
            time[i] = i < n ? (s[i].time + s[i + 1].time) / 2 : s[i].time;
            roughHeading_[i] = roughOwnHeading(s[i].heading);
        }
        if (!ordered) {
            headings_[i] = courseOf(span, s[i].heading);
            vectors_[i] = vectorOf(span, s[i].heading);
        }
    }
}

double SteadyCourses::heading(int i) const
{
    if (!headings_.empty())
        return headings_[i];
    return courseOf(spanAround(*boat_, i, cosLat_, steady_), boat_->samples[i].heading);
}

double SteadyCourses::angleOff(int i, double direction, double limit) const
{
    // |signedAngle(d)| moves no more than d does: from a rough course, the
    // angle is as far from the exact one as the course.
    const double rough = std::abs(signedAngle(roughHeading_[i] - direction));
    if (std::abs(rough - limit) > kRoughMargin)
        return rough;
    return std::abs(signedAngle(heading(i) - direction));
}

std::vector<signed char> SteadyCourses::windSides(const std::vector<double> &twdAt) const
{
    // The sign of signedAngle(d) changes only where d is a multiple of 180
    // degrees. An angle off the wind from a rough course that is clear of
    // them has the sign of the exact one's.
    const auto sideOf = [](double angle) -> signed char { return angle > 0 ? 1 : angle == 0 ? 0 : -1; };
    std::vector<signed char> side(time.size());
    for (std::size_t i = 1; i < side.size(); ++i) {
        const double rough = roughHeading_[i], off = rough - twdAt[i];
        const double halfTurns = off * (1.0 / 180);
        const bool clear = std::abs(halfTurns) < 1e6 && std::abs(off - 180 * roundHalfEven(halfTurns)) > kRoughMargin;
        side[i] = sideOf(signedAngle(clear ? off : heading(static_cast<int>(i)) - twdAt[i]));
    }
    return side;
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
    // In time order the fixes within the steadying span of a fix lie next to
    // it: the first of them, for the first fix, is found by going back
    // from it; from there both ends move on as in the walk along the track.
    Span span = spanAround(*boat_, first, cosLat_, steady_);
    add(vectorOf(span, boat_->samples[first].heading));
    for (int i = first + 1; i <= last; ++i) {
        span.walkTo(*boat_, i, cosLat_, steady_);
        add(vectorOf(span, boat_->samples[i].heading));
    }
    return total;
}

std::vector<MadeGood> madeGoodAt(const BoatEntry &boat, double cosLat, double steadySeconds, const std::vector<int> &fixes)
{
    const auto &s = boat.samples;
    const bool ordered = inTimeOrder(s.begin() + 1, s.end());
    std::vector<MadeGood> madeGood;
    madeGood.reserve(fixes.size());
    Span span;
    for (std::size_t k = 0; k < fixes.size(); ++k) {
        const int i = fixes[k];
        if (!ordered) {
            madeGood.push_back({s[i].heading, s[i].speed});
            continue;
        }
        if (k == 0)
            span = spanAround(boat, i, cosLat, steadySeconds);
        else
            span.walkTo(boat, i, cosLat, steadySeconds);
        const double course = span.madeGood() ? roughCourse(span.east, span.north) : s[i].heading;
        madeGood.push_back({course < 0 ? course + 360 : course, speedOf(boat, span, i)});
    }
    return madeGood;
}

}  // namespace keelrun
