#include "race/roundings.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include <QFileInfo>

#include "base/numbers.h"
#include "base/parallel.h"
#include "race/plane.h"

namespace keelrun {
namespace {

// A boat is at a mark when it comes within 0.2 minutes of arc (about 370 m);
// it has left when it is 0.1 minutes farther away than its closest point.
constexpr double kMarkRadius = 0.2;
constexpr double kLeftMarkBy = 0.1;
constexpr double kOneWeek = 604800;
// How far a GPS fix may be off where the boat was, in metres: a boat this
// close to the line at the gun cannot be told over it.
constexpr double kFixTolerance = 10;
// A boat this far up the course from the start line has sailed off.
constexpr double kSailedOff = 100;

// Minutes of arc on the flat chart. Positions are far from where hypot's
// care for overflow matters, and this runs for every fix near every mark.
double distance(GeoPoint a, double lat, double lon)
{
    const double dLat = lat - a.lat, dLon = lon - a.lon;
    return std::sqrt(dLat * dLat + dLon * dLon);
}

// Minutes of arc from a fix to the nearest point of the line between its ends.
double distanceToLine(const CourseLine &line, const TrackSample &p)
{
    const double dLat = line.end2.lat - line.end1.lat, dLon = line.end2.lon - line.end1.lon;
    const double squared = dLat * dLat + dLon * dLon;
    const double along = squared > 0 ? ((p.lat - line.end1.lat) * dLat + (p.lon - line.end1.lon) * dLon) / squared : 0;
    const double f = std::clamp(along, 0.0, 1.0);
    return distance({line.end1.lat + f * dLat, line.end1.lon + f * dLon}, p.lat, p.lon);
}

// Where a boat's search along its track stands: the next passage lies at or
// after `time` (the gun, or just after the boat's last passage), in the
// segment that starts at fix `sample` or later. `leftSample` is where the
// boat had left the mark or gate it passed last (0 after a line crossing):
// the same mark taken twice running is looked for only after that.
struct SearchFrom {
    int sample = 1;
    double time = 0;
    int leftSample = 0;
};

// A boat crossing a line between two fixes.
struct Crossing {
    double time = 0;
    bool betweenEnds = false;  // not beyond either end
    double sideAfter = 0;      // the line side of the second fix
};

// Whether a point on or near a line lies between its ends: nearer to each
// end than the ends are to each other.
bool betweenEnds(const CourseLine &line, double lat, double lon)
{
    const double length = std::hypot(line.end2.lat - line.end1.lat, line.end2.lon - line.end1.lon);
    return distance(line.end1, lat, lon) < length && distance(line.end2, lat, lon) < length;
}

// The crossing of the segment from fix s to fix s + 1, if it touches or
// crosses the infinite line and lies within the track (not across a gap).
// The time is interpolated along the segment.
std::optional<Crossing> crossingAt(const BoatEntry &boat, const CourseLine &line, const LineSide &side, int s)
{
    const TrackSample &p1 = boat.samples[s], &p2 = boat.samples[s + 1];
    const double f1 = side(p1), f2 = side(p2);
    if (f1 * f2 > 0 || gapBetween(p1, p2))
        return std::nullopt;
    double frac = f1 == f2 ? 0 : std::fabs(f1 / (f2 - f1));
    if (frac > 1)
        frac = 0;
    const double lat = p1.lat + frac * (p2.lat - p1.lat), lon = p1.lon + frac * (p2.lon - p1.lon);
    return Crossing{p1.time + (p2.time - p1.time) * frac, betweenEnds(line, lat, lon), f2};
}

// The first crossing of the line between its ends from `from` on, towards
// the side `towards` (its sign; 0: either way). Returns the passage time
// and moves `from` past it.
std::optional<double> firstCrossing(const BoatEntry &boat, const CourseLine &line, double towards, int last,
                                    SearchFrom &from)
{
    const LineSide side(line);
    for (int s = from.sample; s <= last; ++s) {
        const auto crossing = crossingAt(boat, line, side, s);
        if (!crossing || !crossing->betweenEnds || crossing->time < from.time || crossing->sideAfter * towards < 0)
            continue;
        if (towards != 0 && crossing->sideAfter == 0)
            continue;  // onto the line, not yet over it
        from = {s, std::nextafter(crossing->time, kNotReached), 0};
        return crossing->time;
    }
    return std::nullopt;
}

// A boat's first visit to a mark from `from` on: the fix closest to the
// mark, when it comes within the mark radius, and the fix where it has left.
struct Visit {
    int closest = 0;  // 0: never within the radius
    int left = 0;
};

template <typename DistanceOf>
Visit firstVisit(const BoatEntry &boat, const SearchFrom &from, DistanceOf distanceOf)
{
    Visit visit;
    double best = kMarkRadius;
    const int n = boat.sampleCount();
    for (int v = from.sample; v <= n; ++v) {
        const TrackSample &s = boat.samples[v];
        if (s.time < from.time)
            continue;
        const double d = distanceOf(s);
        if (d < best) {
            best = d;
            visit.closest = v;
        }
        visit.left = v;
        if (visit.closest && d > best + kLeftMarkBy)
            break;
    }
    return visit;
}

// A passage at the closest fix of a visit.
double passAtClosest(const BoatEntry &boat, const Visit &visit, SearchFrom &from)
{
    const double time = boat.samples[visit.closest].time;
    from = {visit.closest, std::nextafter(time, kNotReached), visit.left};
    return time;
}

std::optional<double> passMark(const BoatEntry &boat, GeoPoint mark, SearchFrom &from)
{
    const Visit visit = firstVisit(boat, from, [&](const TrackSample &s) { return distance(mark, s.lat, s.lon); });
    if (!visit.closest)
        return std::nullopt;
    return passAtClosest(boat, visit, from);
}

// A gate or a line on the way round: the first time the boat comes near it,
// its crossing between the ends then, or, when it rounded an end outside the
// line, its closest approach.
std::optional<double> passLine(const BoatEntry &boat, const CourseLine &line, SearchFrom &from)
{
    const Visit visit = firstVisit(boat, from, [&](const TrackSample &s) { return distanceToLine(line, s); });
    if (!visit.closest)
        return std::nullopt;
    if (const auto crossed = firstCrossing(boat, line, 0, std::min(visit.left, boat.sampleCount() - 1), from))
        return crossed;
    return passAtClosest(boat, visit, from);
}

// The side of the start line the course lies on: that of the item after the
// start (0 when the course has none, or it lies on the line).
double courseSide(const RaceState &race, const std::vector<CourseItemRef> &items)
{
    if (items.size() < 2 || items[1].number == 0 || items[0].number == 0 || !items[0].isLine)
        return 0;
    const CourseItemRef &next = items[1];
    GeoPoint point = itemAnchor(race, next);
    if (next.isLine) {
        const CourseLine &l = race.lines[next.number];
        point = {(l.end1.lat + l.end2.lat) / 2, (l.end1.lon + l.end2.lon) / 2};
    }
    const double side = LineSide(race.lines[items[0].number])(point.lat, point.lon);
    return side > 0 ? 1 : side < 0 ? -1 : 0;
}

// Where the boat was at the gun: the fix before it, its metres on the course
// side of the start line (negative: below it), and whether that was between
// the line's ends; nothing when its track has no position then.
struct AtGun {
    int sample = 0;
    double overBy = 0;
    bool betweenEnds = false;
};

std::optional<AtGun> placeAtGun(const BoatEntry &boat, const CourseLine &line, double towards)
{
    const auto &s = boat.samples;
    const int n = boat.sampleCount();
    const auto after = std::upper_bound(s.begin() + 1, s.end(), 0.0, [](double t, const TrackSample &f) { return t < f.time; });
    const int i = static_cast<int>(after - s.begin()) - 1;
    if (i < 1 || i >= n || gapBetween(s[i], s[i + 1]))
        return std::nullopt;
    const double f = -s[i].time / (s[i + 1].time - s[i].time);
    const double lat = s[i].lat + f * (s[i + 1].lat - s[i].lat), lon = s[i].lon + f * (s[i + 1].lon - s[i].lon);
    return AtGun{i, LineSide(line)(lat, lon) * towards, betweenEnds(line, lat, lon)};
}

// The first fix after `from` where a boat that was just over the line at the
// gun is back clearly below it, before it has sailed off up the course; 0
// when it sailed on.
int returnBelowLine(const BoatEntry &boat, const CourseLine &line, double towards, int from)
{
    const LineSide side(line);
    for (int v = from + 1; v <= boat.sampleCount(); ++v) {
        const double overBy = side(boat.samples[v]) * towards;
        if (overBy < -kFixTolerance)
            return v;
        if (overBy > kSailedOff)
            return 0;
    }
    return 0;
}

// A boat's start: its first crossing of the start line towards the course at
// or after the gun. A boat over the line at the gun was over early and
// starts when it has come back and crossed again; one over it by no more
// than a GPS fix may be off, that sails on, started with the gun.
std::optional<double> passStart(const RaceState &race, BoatEntry &boat, const CourseItemRef &start, double towards,
                                SearchFrom &from)
{
    if (!start.isLine)
        return passMark(boat, itemAnchor(race, start), from);
    const CourseLine &line = race.lines[start.number];
    const auto gun = placeAtGun(boat, line, towards);
    if (gun)
        from.sample = gun->sample;  // the pre-start's crossings do not count
    if (gun && towards != 0 && gun->betweenEnds && gun->overBy > 0) {
        boat.overEarly = true;
        if (gun->overBy <= kFixTolerance) {
            const int back = returnBelowLine(boat, line, towards, gun->sample);
            boat.overEarly = back > 0;
            if (!back) {
                from.time = std::nextafter(0.0, 1.0);
                return 0.0;
            }
            from.sample = back;
        }
    }
    return firstCrossing(boat, line, towards, boat.sampleCount() - 1, from);
}

// The first item the boat did not pass though it passed a later one; items
// that name no mark or line of the race are nobody's to pass.
int firstMissedItem(const BoatEntry &boat, const std::vector<CourseItemRef> &items)
{
    int lastPassed = 0;
    for (int k = 1; k <= static_cast<int>(items.size()); ++k) {
        if (passed(boat.roundingTime[k]))
            lastPassed = k;
    }
    for (int k = 1; k < lastPassed; ++k) {
        if (items[k - 1].number != 0 && !passed(boat.roundingTime[k]))
            return k;
    }
    return 0;
}

// One boat's passages in course order. Each item is looked for only after
// the boat's last passage, so that passage times increase along the course;
// after an item it missed, the next is looked for from the last item it
// did pass. A boat that did not start passes nothing; one that missed an
// item does not finish.
void findBoatPassages(const RaceState &race, BoatEntry &boat, const std::vector<CourseItemRef> &items, double towards)
{
    const int length = static_cast<int>(items.size());
    boat.roundingTime = filledTable(kNotReached);
    boat.overEarly = false;
    boat.missedItem = 0;
    SearchFrom from;
    if (items[0].number == 0)
        return;
    const auto started = passStart(race, boat, items[0], towards, from);
    if (!started)
        return;
    boat.roundingTime[1] = *started;
    CourseItemRef lastPassed = items[0];
    for (int k = 2; k <= length; ++k) {
        const CourseItemRef &item = items[k - 1];
        std::optional<double> time;
        if (item.number == 0)
            continue;
        if (item == lastPassed && from.leftSample > from.sample)
            from = {from.leftSample, std::nextafter(boat.samples[from.leftSample].time, kNotReached), 0};
        if (!item.isLine)
            time = k == length ? std::nullopt : passMark(boat, itemAnchor(race, item), from);  // the finish needs a crossing
        else if (k == length)
            time = firstCrossing(boat, race.lines[item.number], 0, boat.sampleCount() - 1, from);
        else
            time = passLine(boat, race.lines[item.number], from);
        if (time) {
            boat.roundingTime[k] = *time;
            lastPassed = item;
        }
    }
    boat.missedItem = firstMissedItem(boat, items);
    if (boat.missedItem)
        boat.roundingTime[length] = kNotReached;
}

// Each boat's passages, the boats on every processor.
void findPassages(RaceState &race)
{
    std::vector<CourseItemRef> items;
    for (int k = 1; k <= race.courseLength(); ++k)
        items.push_back(parseCourseItem(race, race.course[k - 1]));
    const double towards = courseSide(race, items);
    parallelFor(1, race.boatCount, [&](int b) { findBoatPassages(race, race.boats[b], items, towards); });
}

// A boat that missed an item leads at none after it.
void findLeaders(RaceState &race)
{
    for (int k = 1; k <= race.courseLength(); ++k) {
        double best = kNotReached;
        int leader = 0;
        for (int b = 1; b <= race.boatCount; ++b) {
            const BoatEntry &boat = race.boats[b];
            if (boat.missedItem && boat.missedItem < k)
                continue;
            if (boat.roundingTime[k] < best) {
                best = race.boats[b].roundingTime[k];
                leader = b;
            }
        }
        race.results.leaderAt[k] = leader;
        race.results.firstPassTime[k] = leader ? best : 0;
    }
}

// Equal finish times share a rank; boats that did not finish have none (0).
void rankFinishers(RaceState &race)
{
    const int finish = race.courseLength();
    double last = 0;
    for (int b = 1; b <= race.boatCount; ++b) {
        const double mine = race.boats[b].roundingTime[finish];
        int ahead = 0;
        for (int c = 1; c <= race.boatCount; ++c)
            ahead += race.boats[c].roundingTime[finish] < mine ? 1 : 0;
        race.boats[b].finishRank = passed(mine) ? 1 + ahead : 0;
        if (mine > 0 && mine < kOneWeek)
            last = std::max(last, mine);
    }
    race.results.lastFinishTime = last;
    if (last > 0 && last + 60 < race.windowEnd)
        race.windowEnd = last + 60;
    race.windowLength = roundHalfEven(race.windowEnd - race.windowStart);
}

}  // namespace

LineSide::LineSide(const CourseLine &line)
    : a_(line.end1),
      metresPerLonMinute_(kMetresPerMinute * std::cos(line.end1.lat / 60 * kDegree)),
      north_((line.end2.lat - a_.lat) * kMetresPerMinute),
      east_((line.end2.lon - a_.lon) * metresPerLonMinute_),
      length_(std::hypot(north_, east_))
{
}

double LineSide::operator()(double lat, double lon) const
{
    const double north = (lat - a_.lat) * kMetresPerMinute, east = (lon - a_.lon) * metresPerLonMinute_;
    return length_ > 0 ? (east_ * north - north_ * east) / length_ : east;
}

double LineSide::along(double lat, double lon) const
{
    const double north = (lat - a_.lat) * kMetresPerMinute, east = (lon - a_.lon) * metresPerLonMinute_;
    return length_ > 0 ? (north_ * north + east_ * east) / (length_ * length_) : 0;
}

double startLineCourseSide(const RaceState &race)
{
    std::vector<CourseItemRef> items;
    for (int k = 1; k <= std::min(race.courseLength(), 2); ++k)
        items.push_back(parseCourseItem(race, race.course[k - 1]));
    return courseSide(race, items);
}

int placeAt(const RaceState &race, int boat, int item)
{
    const double mine = race.boats[boat].roundingTime[item];
    if (!passed(mine))
        return 0;
    int earlier = 0;
    for (int b = 1; b <= race.boatCount; ++b)
        earlier += race.boats[b].roundingTime[item] < mine ? 1 : 0;
    return 1 + earlier;
}

CourseItemRef parseCourseItem(const RaceState &race, const QString &item)
{
    // "L" and a line number, or a mark: two letters and its number.
    const bool isLine = item.contains(QLatin1Char('L'));
    bool ok = false;
    const int number = item.mid(isLine ? 1 : 2).toInt(&ok);
    const int count = isLine ? race.lineCount : race.markCount;
    return {isLine, ok && number >= 1 && number <= count ? number : 0};
}

GeoPoint itemAnchor(const RaceState &race, const CourseItemRef &item)
{
    if (item.isLine)
        return race.lines[item.number].end1;
    return {race.marks[item.number].lat, race.marks[item.number].lon};
}

void checkCourse(RaceState &race)
{
    const QString file = QFileInfo(race.raceFilePath).fileName();
    if (race.course.size() > kMaxTimedItems) {
        race.warnings << QStringLiteral("%1: the course has %2 items; only the first %3 are timed")
                             .arg(file)
                             .arg(race.course.size())
                             .arg(kMaxTimedItems);
    }
    for (const QString &text : std::as_const(race.course)) {
        const CourseItemRef item = parseCourseItem(race, text);
        if (item.number == 0)
            race.warnings << QStringLiteral("%1: course item \"%2\" names no %3 of the race; nobody can pass it")
                                 .arg(file, text, QLatin1String(item.isLine ? "line" : "mark"));
    }
}

QStringList passageNotes(const RaceState &race, const BoatEntry &boat)
{
    if (race.courseLength() == 0)
        return {};
    QStringList parts;
    if (!passed(boat.roundingTime[1]))
        parts << (boat.overEarly ? QStringLiteral("over early and did not start") : QStringLiteral("did not start"));
    else if (boat.overEarly)
        parts << QStringLiteral("over early, started at %1 s").arg(roundHalfEven(boat.roundingTime[1]));
    if (boat.missedItem > 0)
        parts << QStringLiteral("missed %1, not a finisher").arg(race.course[boat.missedItem - 1]);
    return parts;
}

void detectRoundings(RaceState &race)
{
    const int length = race.courseLength();
    if (length == 0)
        return;
    for (int b = 1; b <= race.boatCount; ++b)
        race.boats[b].roundingTime = filledTable(kNotReached);
    race.results.finishLine = {};
    const CourseItemRef finish = parseCourseItem(race, race.course[length - 1]);
    if (finish.isLine && finish.number) {
        const CourseLine &l = race.lines[finish.number];
        race.results.finishLine = {l.end1.lat, l.end2.lat, l.end1.lon, l.end2.lon};
    }
    findPassages(race);
    findLeaders(race);
    rankFinishers(race);
}

}  // namespace keelrun
