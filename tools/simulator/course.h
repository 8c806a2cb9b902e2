#pragma once
// The course: start line, marks, an optional leeward gate, finish line, and
// the order in which they are sailed. Laid out on the mean wind axis around
// the race centre (metres on the local plane).
//
// Windward-leeward: start, then per lap the windward mark (MK1) and the
// leeward mark (MK2) or gate (L3 between MK2 and MK3), then a short beat to
// an upwind finish line. Triangle: start, then per lap windward (MK1), the
// wing mark (MK2) out to port and the leeward mark (MK3), then the finish.
// Every mark is left to port, except the right-hand gate mark (looking
// downwind), which is left to starboard.

#include <string>
#include <vector>

#include "geometry.h"
#include "sim_options.h"

namespace keelrun::sim {

struct LineSegment {
    Vec2 end1;  // the starboard end (committee boat) looking upwind
    Vec2 end2;
    Vec2 middle() const { return (end1 + end2) * 0.5; }
};

struct CourseItem {
    enum Kind { Start, Mark, Gate, Finish };
    Kind kind = Mark;
    int number = 1;  // mark number for marks, line number for lines
    std::string text() const;  // "MK1", "L2"
};

struct Course {
    double windDirection = 0;  // mean, degrees
    Vec2 upwind, right;        // unit vectors: towards the wind, and to its right
    double legLength = 0;      // start line to windward mark, metres
    std::vector<Vec2> marks;   // MK1.., index 0 = MK1
    std::vector<LineSegment> lines;           // L1 start, L2 finish, L3 gate
    std::vector<LineSegment> referenceLines;  // drawn for orientation only
    std::vector<CourseItem> items;

    const LineSegment &startLine() const { return lines[0]; }
    const LineSegment &finishLine() const { return lines[1]; }
    Vec2 pointOf(const CourseItem &item) const;  // the mark, or the middle of the line
    // Metres upwind of the start line (negative below it).
    double aboveStart(Vec2 p) const { return dot(p - startLine().middle(), upwind); }
};

struct CourseSpec {
    CourseKind kind = CourseKind::WindwardLeeward;
    int laps = 2;
    bool gate = false;
    double windDirection = 0;
    double legLength = 1500;
    int boats = 10;
    double boatLength = 10;
};

Course buildCourse(const CourseSpec &spec);

}  // namespace keelrun::sim
