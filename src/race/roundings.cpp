#include "race/roundings.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QFileInfo>

#include "base/numbers.h"
#include "base/parallel.h"

namespace keelrun {
namespace {

// A boat is at a mark when it comes within 0.2 minutes of arc (about 370 m);
// it has left when it is 0.1 minutes farther away than its closest point.
constexpr double kMarkRadius = 0.2;
constexpr double kLeftMarkBy = 0.1;
// The start is looked for in the first part of the race only.
constexpr double kStartSearchShare = 0.2;
constexpr double kOneWeek = 604800;

// Minutes of arc on the flat chart. Positions are far from where hypot's
// care for overflow matters, and this runs for every fix near every mark.
double distance(GeoPoint a, double lat, double lon)
{
    const double dLat = lat - a.lat, dLon = lon - a.lon;
    return std::sqrt(dLat * dLat + dLon * dLon);
}

// Signed offset of a point from the infinite line through A and B: zero on
// the line, opposite signs on opposite sides.
class LineSide {
public:
    explicit LineSide(const CourseLine &line) : a_(line.end1), dLat_(line.end2.lat - a_.lat), dLon_(line.end2.lon - a_.lon) {}

    double operator()(const TrackSample &p) const
    {
        if (dLon_ == 0)
            return p.lon - a_.lon;  // a north-south line
        return a_.lat + dLat_ / dLon_ * (p.lon - a_.lon) - p.lat;
    }

private:
    GeoPoint a_;
    double dLat_, dLon_;
};

// Looks for the boat crossing the line between its ends. Each crossing of
// the infinite line moves `resume` on; one outside the ends is no passage
// and the search goes on; one between the ends ends the search, with its
// time when that is after the gun.
void searchLineCrossing(const RaceState &race, const BoatEntry &boat, const CourseLine &line, bool isStart,
                        int &resume, double &time)
{
    const int n = boat.sampleCount();
    const LineSide side(line);
    const double length = std::hypot(line.end2.lat - line.end1.lat, line.end2.lon - line.end1.lon);
    int first = resume + 1, last = n - 1;
    if (isStart) {
        resume = 1;
        first = 1;
        last = roundHalfEven(n / 2.0) - 1;
    }
    for (int s = first; s <= last; ++s) {
        const TrackSample &p1 = boat.samples[s], &p2 = boat.samples[s + 1];
        const double f1 = side(p1), f2 = side(p2);
        if (f1 * f2 <= 0) {
            double frac = f1 == f2 ? 0 : std::fabs(f1 / (f2 - f1));
            if (frac > 1)
                frac = 0;
            const double t = p1.time + (p2.time - p1.time) * frac;
            if (t >= 0)
                time = t;
            resume = s + 1;
            const double lat = p1.lat + frac * (p2.lat - p1.lat);
            const double lon = p1.lon + frac * (p2.lon - p1.lon);
            if (distance(line.end1, lat, lon) < length && distance(line.end2, lat, lon) < length)
                return;
            time = kNotReached;
        }
        if (isStart && p1.time > kStartSearchShare * race.windowEnd)
            return;
    }
}

// The time of the boat's closest approach to `point`, when it comes within
// the mark radius; the search stops once the boat has left the mark.
void searchNearestApproach(const BoatEntry &boat, GeoPoint point, int first, int last, int &resume, double &time)
{
    double best = kMarkRadius;
    for (int v = first; v <= last; ++v) {
        const TrackSample &s = boat.samples[v];
        const double d = distance(point, s.lat, s.lon);
        if (d < best) {
            best = d;
            time = roundHalfEven(s.time);
            resume = v + 1;
        }
        if (best < kMarkRadius && d > best + kLeftMarkBy)
            return;
    }
}

// Each boat's passages in course order, the boats on every processor: a
// boat's search goes on from where its last passage was found.
void findPassages(RaceState &race)
{
    const int length = race.courseLength();
    std::vector<CourseItemRef> items;
    for (int k = 1; k <= length; ++k)
        items.push_back(parseCourseItem(race, race.course[k - 1]));
    parallelFor(1, race.boatCount, [&](int b) {
        BoatEntry &boat = race.boats[b];
        int resume = 1;
        for (int k = 1; k <= length; ++k) {
            const CourseItemRef &item = items[k - 1];
            if (item.number == 0)
                continue;
            double &time = boat.roundingTime[k];
            if (item.isLine)
                searchLineCrossing(race, boat, race.lines[item.number], k == 1, resume, time);
            if (passed(time) || k == length)
                continue;  // the finish needs a crossing
            const int n = boat.sampleCount();
            if (k == 1) {
                searchNearestApproach(boat, itemAnchor(race, item), 1, roundHalfEven(n / 2.0), resume, time);
            } else {
                if (!passed(boat.roundingTime[k - 1]))
                    resume = 1;
                searchNearestApproach(boat, itemAnchor(race, item), resume, n - 1, resume, time);
            }
        }
    });
}

void findLeaders(RaceState &race)
{
    for (int k = 1; k <= race.courseLength(); ++k) {
        double best = kNotReached;
        int leader = 0;
        for (int b = 1; b <= race.boatCount; ++b) {
            if (race.boats[b].roundingTime[k] < best) {
                best = race.boats[b].roundingTime[k];
                leader = b;
            }
        }
        race.results.leaderAt[k] = leader;
        race.results.firstPassTime[k] = leader ? best : 0;
    }
}

// Equal finish times share a rank; boats that did not finish come after all
// finishers.
void rankFinishers(RaceState &race)
{
    const int finish = race.courseLength();
    double last = 0;
    for (int b = 1; b <= race.boatCount; ++b) {
        const double mine = race.boats[b].roundingTime[finish];
        int ahead = 0;
        for (int c = 1; c <= race.boatCount; ++c)
            ahead += race.boats[c].roundingTime[finish] < mine ? 1 : 0;
        race.boats[b].finishRank = 1 + ahead;
        if (mine > 0 && mine < kOneWeek)
            last = std::max(last, mine);
    }
    race.results.lastFinishTime = last;
    if (last > 0 && last + 60 < race.windowEnd)
        race.windowEnd = last + 60;
    race.windowLength = roundHalfEven(race.windowEnd - race.windowStart);
}

}  // namespace

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
