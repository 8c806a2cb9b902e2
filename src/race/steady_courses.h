#pragma once
// Each fix's course, steadied against GPS noise: with fixes a second or two
// apart a few metres of error swing the course from one fix to the next by
// tens of degrees, so there the course is the one made good from the fix
// kSteadySeconds before to the fix as long after. Sparser tracks keep their
// own courses, which are the courses to the next fix and so describe the
// boat halfway to it: `time` is the moment a course describes.

#include <vector>

#include "model/race_state.h"

namespace keelrun {

inline constexpr double kSteadySeconds = 4;  // half the span a course is steadied over

// A course as a unit vector: its north and east parts.
struct CourseVector {
    double north = 0, east = 0;
};

class SteadyCourses {
public:
    SteadyCourses() = default;
    // The courses of the boat's track, which must outlive them.
    SteadyCourses(const BoatEntry &boat, double cosLat);

    // The courses of fixes first..last as unit vectors, added up in turn.
    // Only the fixes about a turn need them, so they are worked out when
    // asked for, from the fixes each course is made good between; a track
    // out of time order, where those fixes depend on the ones before them,
    // keeps every fix's vector.
    CourseVector sum(int first, int last) const;

    std::vector<double> time;     // [i]: the moment fix i's course describes
    std::vector<double> heading;  // [i]: degrees

private:
    const BoatEntry *boat_ = nullptr;
    double cosLat_ = 0;
    std::vector<CourseVector> vectors_;  // a track out of time order only
};

}  // namespace keelrun
