#include "edit/course_editor.h"

#include <cmath>

#include "base/numbers.h"

namespace keelrun {
namespace {

const EditOutcome kChanged{true, {}};
const EditOutcome kUnchanged{};

// Why a click was refused: `full` says which table, `refused` what it was
// to add.
QString refusal(const QString &full, const QString &refused)
{
    return full + QStringLiteral(", the most a race file holds; %1 is not added.").arg(refused);
}

}  // namespace

NearestCoursePoint nearestCoursePoint(const RaceState &race, const MapView &diagram, QPointF pointer)
{
    NearestCoursePoint nearest;
    double best = 100;
    const auto consider = [&](GeoPoint p, auto take) {
        const QPointF at(projectPoint(p.lat, p.lon, diagram));
        const double d = std::hypot(at.x() - pointer.x(), at.y() - pointer.y());
        if (d < best) {
            best = d;
            take();
        }
    };
    for (int i = 1; i <= race.markCount; ++i)
        consider({race.marks[i].lat, race.marks[i].lon}, [&] {
            nearest.mark = i;
            nearest.label = QStringLiteral("MK%1").arg(i);
        });
    const auto takeLine = [&](int i) {
        return [&nearest, i] {
            nearest.line = i;
            nearest.mark = 0;
            nearest.label = QStringLiteral("L%1").arg(i);
        };
    };
    for (int i = 1; i <= race.lineCount; ++i)
        consider(race.lines[i].end1, takeLine(i));
    for (int i = 1; i <= race.lineCount; ++i) {
        if (race.lines[i].end2.lat != 0)
            consider(race.lines[i].end2, takeLine(i));
    }
    nearest.labelShown = best < 30;
    return nearest;
}

EditOutcome CourseEditor::click(RaceState &race, GeoPoint at, bool leftButton, const NearestCoursePoint &nearest)
{
    if (!leftButton) {
        if (tool_ == EditTool::Marks)
            return removeMark(race, nearest.mark);
        if (tool_ == EditTool::LineStart || tool_ == EditTool::LineEnd)
            return removeLine(race, nearest.line);
        return kUnchanged;
    }
    switch (tool_) {
    case EditTool::Marks:
        return addMark(race, at);
    case EditTool::LineStart:
        return addLineStart(race, at);
    case EditTool::LineEnd:
        return setLineEnd(race, at);
    case EditTool::Course:
        return appendToCourse(race, nearest);
    default:
        return kUnchanged;
    }
}

EditOutcome CourseEditor::addMark(RaceState &race, GeoPoint at)
{
    if (race.markCount == kMaxMarks)
        return {false, refusal(QStringLiteral("The race has %1 marks").arg(kMaxMarks), QStringLiteral("a new mark"))};
    race.marks[++race.markCount] = {at.lat, at.lon};
    edits_.marks = true;
    return kChanged;
}

// The marks after it move down a number; the course keeps its texts.
EditOutcome CourseEditor::removeMark(RaceState &race, int mark)
{
    if (mark < 1 || mark > race.markCount)
        return kUnchanged;
    for (int i = mark; i < race.markCount; ++i)
        race.marks[i] = race.marks[i + 1];
    race.marks[race.markCount--] = {};
    edits_.marks = true;
    return kChanged;
}

// A new line with its first end; the next click sets the other.
EditOutcome CourseEditor::addLineStart(RaceState &race, GeoPoint at)
{
    if (race.lineCount == kMaxLines)
        return {false, refusal(QStringLiteral("The race has %1 lines").arg(kMaxLines), QStringLiteral("a new line"))};
    race.lines[++race.lineCount] = {at, {0, 0}};
    tool_ = EditTool::LineEnd;
    edits_.lines = true;
    return kChanged;
}

EditOutcome CourseEditor::setLineEnd(RaceState &race, GeoPoint at)
{
    tool_ = EditTool::LineStart;
    if (race.lineCount == 0)
        return kUnchanged;
    race.lines[race.lineCount].end2 = at;
    edits_.lines = true;
    return kChanged;
}

EditOutcome CourseEditor::removeLine(RaceState &race, int line)
{
    if (line < 1 || line > race.lineCount)
        return kUnchanged;
    for (int i = line; i < race.lineCount; ++i)
        race.lines[i] = race.lines[i + 1];
    race.lines[race.lineCount--] = {};
    edits_.lines = true;
    return kChanged;
}

// The course line holds the tag and every item, as the race file reader
// takes it back: a course never grows past kMaxCourseItems, so that its
// finish is never lost on the next load.
EditOutcome CourseEditor::appendToCourse(RaceState &race, const NearestCoursePoint &nearest)
{
    EditOutcome outcome;
    for (const auto &[number, prefix] : {std::pair{nearest.mark, "MK"}, std::pair{nearest.line, "L"}}) {
        if (number == 0)
            continue;
        const QString item = QLatin1String(prefix) + QString::number(number);
        if (race.course.size() == kMaxCourseItems) {
            outcome.refusal = refusal(QStringLiteral("The course has %1 items").arg(kMaxCourseItems), item);
            break;
        }
        race.course << item;
        outcome.changed = edits_.course = true;
    }
    return outcome;
}

EditOutcome CourseEditor::takeLoggedStart(RaceState &race, const FleetLoggedStart &start)
{
    EditOutcome outcome;
    if (start.pinEnd && start.boatEnd) {
        const QString first = race.course.isEmpty() ? QString() : race.course.front();
        int line = first.startsWith(QLatin1Char('L')) ? first.mid(1).toInt() : 0;
        if (line < 1 || line > race.lineCount) {
            if (race.lineCount == kMaxLines)
                return {false, refusal(QStringLiteral("The race has %1 lines").arg(kMaxLines), QStringLiteral("the pinged start line"))};
            if (race.course.size() == kMaxCourseItems)
                return {false, refusal(QStringLiteral("The course has %1 items").arg(kMaxCourseItems), QStringLiteral("the pinged start line"))};
            line = ++race.lineCount;
            race.course.prepend(QStringLiteral("L%1").arg(line));
            edits_.course = true;
        }
        race.lines[line] = {*start.pinEnd, *start.boatEnd};
        outcome.changed = edits_.lines = true;
    }
    if (start.gun && *start.gun != 0) {
        race.startTime = addSeconds(race.startTime, *start.gun);
        outcome.changed = edits_.startTime = true;
    }
    return outcome;
}

void CourseEditor::resetCourse(RaceState &race)
{
    race.course.clear();
    edits_.course = true;
}

void CourseEditor::setWindDirection(RaceState &race, int magnetic)
{
    race.windDirectionValue = intoCircle(magnetic);
    race.windDirection = intoCircle(roundHalfEven(race.windDirectionValue + race.magneticVariation));
    edits_.windDirection = true;
}

QString markListText(const RaceState &race)
{
    QString text;
    for (int i = 1; i <= race.markCount; ++i)
        text += QStringLiteral("MK%1  ").arg(i);
    return text;
}

QString lineListText(const RaceState &race)
{
    QString text;
    for (int i = 1; i <= race.lineCount; ++i)
        text += QStringLiteral("line%1  ").arg(i);
    return text;
}

QString courseListText(const RaceState &race)
{
    QString text;
    for (const QString &item : race.course)
        text += item + QStringLiteral("  ");
    return text;
}

}  // namespace keelrun
