#pragma once
// Each fix's course, steadied against GPS noise: with fixes a second or two
// apart a few metres of error swing the course from one fix to the next by
// tens of degrees, so there the course is the one made good from the fix
// kSteadySeconds before to the fix as long after (less for a fast boat, whose
// turns are quicker and whose fixes are further apart). Sparser tracks keep their
// own courses, which are the courses to the next fix and so describe the
// boat halfway to it: `time` is the moment a course describes.

#include <vector>

#include "model/race_state.h"
#include "race/plane.h"

namespace keelrun {

inline constexpr double kSteadySeconds = 4;  // half the span a course is steadied over

class SteadyCourses {
public:
    SteadyCourses() = default;
    // The courses of the boat's track, which must outlive them, steadied
    // over `steadySeconds` either side of each fix.
    SteadyCourses(const BoatEntry &boat, double cosLat, double steadySeconds = kSteadySeconds);

    // The courses of fixes first..last as unit vectors, added up in turn.
    // Only the fixes about a turn need them, so they are worked out when
    // asked for, from the fixes each course is made good between; a track
    // out of time order, where those fixes depend on the ones before them,
    // keeps every fix's vector and course.
    CourseVector sum(int first, int last) const;
    // Fix i's course in degrees: the one made good, -180 to 180, or else
    // the fix's own; worked out when asked for, as the vectors are.
    double heading(int i) const;
    // How far fix i's course is from `direction`, |signedAngle(heading(i) -
    // direction)|, to be held against `limit`: exact within a hair of it,
    // and elsewhere from the rough course, which lies on the same side.
    double angleOff(int i, double direction, double limit) const;
    // The side of the wind that each fix's course is on, the wind at fix i
    // from `twdAt[i]`: [i] is the sign of signedAngle(heading(i) - twdAt[i]),
    // 1, 0 or -1 (-1 too for what is not a number). Told from the rough
    // courses but for the few within a hair of the wind's line.
    std::vector<signed char> windSides(const std::vector<double> &twdAt) const;

    std::vector<double> time;  // [i]: the moment fix i's course describes

private:
    const BoatEntry *boat_ = nullptr;
    double cosLat_ = 0;
    double steady_ = kSteadySeconds;
    std::vector<float> roughHeading_;    // [i]: heading(i), within kRoughCourseError and a float's rounding
    std::vector<double> headings_;       // a track out of time order only
    std::vector<CourseVector> vectors_;  // a track out of time order only
};

// The course and speed a boat made good about some of its fixes, over
// `steadySeconds` either side of each as SteadyCourses steadies its courses:
// steadier than a fix's own speed, over a path that the GPS noise
// lengthens. The course is 0 to 360 degrees, to kRoughCourseError; a fix
// with too few neighbours, or on a track out of time order, keeps its own.
struct MadeGood {
    double heading = 0;
    double knots = 0;
};
// `fixes` in increasing order: the spans are walked along the track once.
std::vector<MadeGood> madeGoodAt(const BoatEntry &boat, double cosLat, double steadySeconds, const std::vector<int> &fixes);

}  // namespace keelrun
