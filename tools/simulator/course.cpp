#include "course.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace keelrun::sim {

std::string CourseItem::text() const
{
    return (kind == Mark ? "MK" : "L") + std::to_string(number);
}

Vec2 Course::pointOf(const CourseItem &item) const
{
    return item.kind == CourseItem::Mark ? marks[item.number - 1] : lines[item.number - 1].middle();
}

Course buildCourse(const CourseSpec &spec)
{
    Course c;
    c.windDirection = spec.windDirection;
    c.upwind = towards(spec.windDirection);
    c.right = towards(spec.windDirection + 90);
    c.legLength = spec.legLength;
    const double d = spec.legLength;
    // The course is centred on the race centre: the start line lies half a
    // leg below it.
    const Vec2 start = c.upwind * (-0.5 * d);
    auto at = [&](double up, double across) { return start + c.upwind * up + c.right * across; };
    auto line = [&](double up, double halfLength) {
        return LineSegment{at(up, halfLength), at(up, -halfLength)};
    };

    // About one and a half boat lengths of line per boat, as race committees set it.
    const double startHalf = (120 + 9.0 * spec.boats) / 2;
    const double leeward = std::max(0.1 * d, 80.0);
    const double finish = std::max(0.45 * d, leeward + 200);
    c.lines = {line(0, startHalf), line(finish, 50)};

    c.marks.push_back(at(d, 0));
    c.items.push_back({CourseItem::Start, 1});
    if (spec.kind == CourseKind::Triangle) {
        // Reaches 50° off the downwind axis, the wing mark out to port.
        const double wingAcross = -(d - leeward) / 2 * std::tan(50 * std::numbers::pi / 180);
        c.marks.push_back(at((d + leeward) / 2, wingAcross));
        c.marks.push_back(at(leeward, 0));
        for (int lap = 0; lap < spec.laps; ++lap)
            for (int m = 1; m <= 3; ++m)
                c.items.push_back({CourseItem::Mark, m});
    } else if (spec.gate) {
        const double halfGate = std::clamp(5 * spec.boatLength, 30.0, 75.0);
        c.marks.push_back(at(leeward, halfGate));
        c.marks.push_back(at(leeward, -halfGate));
        c.lines.push_back({c.marks[1], c.marks[2]});
        for (int lap = 0; lap < spec.laps; ++lap) {
            c.items.push_back({CourseItem::Mark, 1});
            c.items.push_back({CourseItem::Gate, 3});
        }
    } else {
        c.marks.push_back(at(leeward, 0));
        for (int lap = 0; lap < spec.laps; ++lap) {
            c.items.push_back({CourseItem::Mark, 1});
            c.items.push_back({CourseItem::Mark, 2});
        }
    }
    c.items.push_back({CourseItem::Finish, 2});

    // The wind axis through the course and a cross line half way up.
    c.referenceLines = {{at(-0.1 * d, 0), at(1.1 * d, 0)}, line(0.5 * d, 0.4 * d)};
    return c;
}

}  // namespace keelrun::sim
