#pragma once
// When each boat passed each item of the course: the start line, every mark
// and the finish line; who led at each item; the finish ranks; and the end
// of the playback window one minute after the last finisher.

#include "model/race_state.h"

namespace keelrun {

// What a course item ("L1", "MK3") refers to.
struct CourseItemRef {
    bool isLine = false;
    int number = 0;  // 0 when the text names no line or mark of the race
    friend bool operator==(const CourseItemRef &, const CourseItemRef &) = default;
};
CourseItemRef parseCourseItem(const RaceState &race, const QString &item);

// The mark, or end 1 of the line, of a course item.
GeoPoint itemAnchor(const RaceState &race, const CourseItemRef &item);

// Where a point lies against the infinite line through the ends of a course
// line, in metres on the flat chart about end 1: its signed distance from
// the line (zero on it, opposite signs on opposite sides), and how far along
// it the foot of its perpendicular lies (0 at end 1, 1 at end 2).
class LineSide {
public:
    explicit LineSide(const CourseLine &line);
    double operator()(double lat, double lon) const;
    double operator()(const TrackSample &p) const { return (*this)(p.lat, p.lon); }
    double along(double lat, double lon) const;

private:
    GeoPoint a_;
    double metresPerLonMinute_, north_, east_, length_;
};

// The side of the start line the course lies on, as LineSide signs it: that
// of the item after the start; 0 when the course starts at no line, or the
// item lies on it.
double startLineCourseSide(const RaceState &race);

// A boat's place at course item k: one more than the boats that passed it
// earlier; 0 when the boat did not pass it.
int placeAt(const RaceState &race, int boat, int item);

// Keeps the course within what the result tables hold, and checks that its
// items name existing marks and lines; each problem becomes a warning.
void checkCourse(RaceState &race);

// What went amiss with a boat's course, for its tip and the table: "over
// early, started at 45 s", "did not start", "missed MK2, not a finisher";
// empty when nothing did.
QStringList passageNotes(const RaceState &race, const BoatEntry &boat);

// Fills every boat's roundingTime and finishRank and race.results; may
// lower windowEnd. Needs the tracks; does nothing without a course.
void detectRoundings(RaceState &race);

}  // namespace keelrun
