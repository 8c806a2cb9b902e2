#pragma once
// The organiser's course editing on the stopped map: marks and line ends
// placed with Shift + left click and removed with Shift + right click on the
// nearest, the course sequence built by Shift-clicking marks and lines, and
// the mean wind direction typed in. Edits change the race at once and are
// remembered, so that the race file can be rewritten with them.

#include <QPoint>
#include <QString>

#include "edit/logged_start.h"
#include "edit/race_file_rewrite.h"
#include "model/race_state.h"
#include "view/map_view.h"

namespace keelrun {

// What a Shift-click edits.
enum class EditTool { None = 0, Marks = 1, LineStart = 2, LineEnd = 3, Course = 4, Wind = 5 };

// The mark or line end nearest the pointer, within 100 pixels: what a
// Shift + right click removes, or a course click appends. The label shows
// when it is within 30 pixels.
struct NearestCoursePoint {
    int mark = 0;    // 0 = none
    int line = 0;    // 0 = none
    QString label;   // "MK3", "L1"
    bool labelShown = false;
};
NearestCoursePoint nearestCoursePoint(const RaceState &race, const MapView &diagram, QPointF pointer);

// What a Shift-click did. A click that a full table cannot take changes
// nothing and says why, for the window to show.
struct EditOutcome {
    bool changed = false;
    QString refusal;  // empty unless refused
};

class CourseEditor {
public:
    EditTool tool() const { return tool_; }
    void setTool(EditTool tool) { tool_ = tool; }
    const RaceEdits &edits() const { return edits_; }
    void forget() { edits_ = {}; }  // after a load or a rewrite

    // A Shift-click at `at` with the left (add) or another (remove) button.
    // The tables hold what a race file can: 20 marks, 10 lines and a course
    // of 20 items; a click beyond that is refused.
    EditOutcome click(RaceState &race, GeoPoint at, bool leftButton, const NearestCoursePoint &nearest);
    void resetCourse(RaceState &race);
    // The magnetic mean wind direction as typed, brought into 0..360; the
    // true direction follows from the magnetic variation.
    void setWindDirection(RaceState &race, int magnetic);
    void windFileSaved() { edits_.windFile = true; }
    // The start the fleet's loggers recorded, as the race's: the gun moved
    // by the timers' zero, and the start line (the line the course starts
    // with, or a new one put at its head) between the pinged ends.
    EditOutcome takeLoggedStart(RaceState &race, const FleetLoggedStart &start);

private:
    EditOutcome addMark(RaceState &race, GeoPoint at);
    EditOutcome removeMark(RaceState &race, int mark);
    EditOutcome addLineStart(RaceState &race, GeoPoint at);
    EditOutcome setLineEnd(RaceState &race, GeoPoint at);
    EditOutcome removeLine(RaceState &race, int line);
    EditOutcome appendToCourse(RaceState &race, const NearestCoursePoint &nearest);

    EditTool tool_ = EditTool::None;
    RaceEdits edits_;
};

// The edit panel's lists: "MK1  MK2  ", "line1  ", "MK1  L1  ".
QString markListText(const RaceState &race);
QString lineListText(const RaceState &race);
QString courseListText(const RaceState &race);

}  // namespace keelrun
