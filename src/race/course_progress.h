#pragma once
// How far round the course each boat is over the race, and how far behind
// the leader: what a running leaderboard ranks by and a gap chart draws.
//
// A boat's course made good is the length of the legs it has finished plus
// the ground it has made good along the axis of the leg it is on (from
// where the leg is measured towards the next mark or line), kept within that
// leg's length, so that it runs on without a jump at each rounding. It
// counts from the boat's start; a finisher holds the whole course.

#include <optional>
#include <vector>

#include "model/race_state.h"

namespace keelrun {

// The course made good by any boat at any moment.
class CourseMadeGood {
public:
    explicit CourseMadeGood(const RaceState &race);
    // Metres; nothing before the boat's start, where its track has no
    // position, or on a course of fewer than two items.
    std::optional<double> at(const BoatEntry &boat, double t) const;
    double courseLength() const { return total_; }
    // The course made good at course item k: the legs before it; nothing
    // for an item the course has not.
    std::optional<double> levelAt(int item) const;
    // The item after the start whose level is `metres`; nothing for a
    // distance within a leg.
    std::optional<int> itemEnding(double metres) const;

private:
    struct Axis {
        GeoPoint from;
        double north = 0, east = 0;  // unit vector along the leg
        double length = 0, before = 0;  // metres: the leg's, the legs' before it
    };
    const RaceState &race_;
    std::vector<Axis> legs_;  // [j]: leg j, from 1
    double total_ = 0;
};

struct ProgressPoint {
    bool racing = false;     // started, with a position (a finisher stays racing)
    double metres = 0;       // course made good
    double gapMetres = 0;    // behind the leader's course made good
    double gapSeconds = 0;   // since the leader had made good as much (below)
};

// The gap in seconds: how long ago the leader had made good as much as the
// boat has now (a finisher's: its finish behind the leader's). A boat comes
// abeam of a mark, the end of the leg as made good, before it has sailed
// across to go round it; the leader's last metres of each leg it has
// finished are taken as made good up to its passing of the mark, so that a
// boat's gap as it goes round a mark is its passing behind the leader's.

inline constexpr double kProgressStep = 5;  // seconds between samples

// Every boat every `step` seconds from the gun to the end of the race window.
struct CourseProgress {
    double step = kProgressStep;
    std::vector<double> times;                        // race clock of each sample
    std::vector<std::vector<ProgressPoint>> boats;    // [boat number][sample], slot 0 unused
    std::vector<int> leader;                          // [sample]: the boat furthest round, 0 when none is racing
};

CourseProgress courseProgress(const RaceState &race, double step = kProgressStep);

// A boat's place on the running leaderboard at one moment.
struct RunningPlace {
    int boat = 0;
    bool finished = false;
    double gapSeconds = 0;  // behind the leader on the water (a finisher's: 0)
    double gapMetres = 0;
};

// The fleet at race clock `t` as a running leaderboard shows it: the boats
// finished by then first, in their order of finishing, then those racing,
// furthest round the course first, as sampled at or before `t`. Boats not
// started, or without a position then, are left out; nothing before the gun.
std::vector<RunningPlace> runningOrder(const RaceState &race, const CourseProgress &progress, double t);

}  // namespace keelrun
