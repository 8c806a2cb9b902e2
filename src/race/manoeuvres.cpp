#include "race/manoeuvres.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "base/numbers.h"
#include "base/parallel.h"
#include "race/plane.h"
#include "race/steady_courses.h"

namespace keelrun {
namespace {

constexpr double kSettledSeconds = 30;
constexpr double kGapSeconds = 10;
constexpr double kMaxSpread = 20;
constexpr double kMinTurn = 50;
constexpr double kMinGybeTurn = 30;    // from a broad reach onto a dead run, a gybe turns through less
constexpr double kCloseHauled = 80;
constexpr double kRunning = 100;
constexpr double kMarkSeconds = 60;
constexpr double kBackOnCourse = 15;   // degrees: the turn starts and ends here
constexpr double kRecovered = 0.95;    // share of the speed before that ends a manoeuvre
constexpr double kLegSeconds = 600;   // turns further apart are not taken to be on one steady beat or run
constexpr double kEstimateSpread = 60; // seconds: how far a turn's reading of the wind reaches
constexpr double kEstimateStep = 60;   // seconds between the fleet's estimates of the wind
constexpr double kOnCourseShare = 0.8; // of a settled course's fixes, within the spread of its mean
constexpr double kStrayShare = 0.3;
constexpr double kSideHeldSeconds = 10;  // round a mark, the least time on each side of a turn

// How much quicker a boat's turns and legs are than a keelboat's: 1 for a
// boat sailing at kReferenceKnots or less (its median speed while racing),
// down to a quarter for a foiler at four times that.
constexpr double kReferenceKnots = 8;
constexpr double kQuickest = 0.25;

}  // namespace

double paceScale(const RaceState &race, const BoatEntry &boat)
{
    const double start = boat.roundingTime[1], finish = boat.roundingTime[race.courseLength()];
    const auto racing = [&](const TrackSample &s) {
        return (!passed(start) || s.time >= start) && (!passed(finish) || s.time <= finish);
    };
    // The median is wanted only when it is above the reference speed: it is
    // when no more than half the speeds are at or below it, which a count
    // tells without putting the speeds in order.
    std::size_t count = 0, slow = 0;
    for (int i = 1; i <= boat.sampleCount(); ++i) {
        const TrackSample &s = boat.samples[i];
        if (racing(s)) {
            ++count;
            slow += s.speed <= kReferenceKnots ? 1 : 0;
        }
    }
    if (count == 0 || slow > count / 2)
        return 1;
    std::vector<double> speeds;
    speeds.reserve(count);
    for (int i = 1; i <= boat.sampleCount(); ++i) {
        if (racing(boat.samples[i]))
            speeds.push_back(boat.samples[i].speed);
    }
    std::nth_element(speeds.begin(), speeds.begin() + static_cast<long>(speeds.size() / 2), speeds.end());
    const double median = speeds[speeds.size() / 2];
    return median > kReferenceKnots ? std::max(kQuickest, kReferenceKnots / median) : 1;
}

namespace {

// The stretches a turn is looked at over, for a boat's pace and its track's
// fix interval: the settled course on each side, the gap between it and the
// moment the wind changes side, the fixes a settled course needs, how near
// a rounding a turn is one at the mark, and the span courses are steadied
// over.
struct TurnWindows {
    TurnWindows(double fixInterval, double scale)
    {
        const double interval = std::max(1.0, fixInterval);
        settled = std::max(kSettledSeconds * scale, 3 * interval);
        gap = std::max(kGapSeconds * scale, interval);
        minimumFixes = interval >= 10 ? 2 : 3;
        nearMark = kMarkSeconds * scale;
        steady = kSteadySeconds * scale;
    }
    TurnWindows(const RaceState &race, const BoatEntry &boat) : TurnWindows(boat.fixInterval, paceScale(race, boat)) {}
    double settled, gap;
    int minimumFixes;
    double nearMark, steady;
};

// A settled course: its mean heading and speed, when the window has enough
// fixes and they keep within the spread.
struct Course {
    bool settled = false;
    double heading = 0;
    double speed = 0;
    int first = 0, last = 0;  // its fixes
};

// The fixes in [from, to], looked for outwards from fix `near` (which the
// window lies before, or after), so that the cost is the window's, not the
// track's.
Course settledCourse(const BoatEntry &boat, const SteadyCourses &courses, int near, double from, double to, int minimumFixes)
{
    int first = near, last = near;
    if (courses.time[near] >= to) {
        while (first > 1 && courses.time[first - 1] >= from)
            --first;
        while (last >= first && courses.time[last] > to)
            --last;
    } else {
        while (last < boat.sampleCount() && courses.time[last + 1] <= to)
            ++last;
        while (first <= last && courses.time[first] < from)
            ++first;
    }
    Course course;
    if (last - first + 1 < minimumFixes)
        return course;
    course.first = first;
    course.last = last;
    const CourseVector sum = courses.sum(first, last);
    double speed = 0;
    for (int i = first; i <= last; ++i)
        speed += boat.samples[i].speed;
    const double mean = std::atan2(sum.east, sum.north) / kDegree;
    course.heading = mean < 0 ? mean + 360 : mean;
    course.speed = speed / (last - first + 1);
    int onCourse = 0;
    for (int i = first; i <= last; ++i)
        onCourse += courses.angleOff(i, course.heading, kMaxSpread) <= kMaxSpread ? 1 : 0;
    course.settled = onCourse >= kOnCourseShare * (last - first + 1);
    return course;
}

// A quick look before the settled courses are worked out: the headings a
// gap before and after the change must already differ by most of a turn.
// (A boat running dead downwind changes the wind's side at every wobble.)
bool turnsEnough(const BoatEntry &boat, const SteadyCourses &courses, int flip, double before, double after)
{
    int a = flip, b = flip + 1;
    while (a > 1 && courses.time[a] > before)
        --a;
    while (b < boat.sampleCount() && courses.time[b] < after)
        ++b;
    constexpr double kLeast = kMinTurn - 2 * kMaxSpread;
    return courses.angleOff(b, courses.heading(a), kLeast) >= kLeast;
}

bool nearRounding(const RaceState &race, const BoatEntry &boat, double t, double within)
{
    for (int k = 1; k <= race.courseLength(); ++k) {
        if (passed(boat.roundingTime[k]) && std::abs(boat.roundingTime[k] - t) <= within)
            return true;
    }
    return false;
}

// Going round a mark the heading never settles, but the side the wind is on
// does: mostly on one side for `held` seconds before the gap around the
// change, and mostly on the other for as long after it. (Fixes straight into
// the wind or down it are on neither side; a wobble on a dead run puts a few
// on the other.)
bool sidesHeld(const SteadyCourses &courses, const std::vector<signed char> &side, int before, int after, double flip,
               double gap, double held)
{
    const auto holds = [&](int from, int step, double near, double far, signed char wanted) {
        int on = 0, off = 0;
        for (int k = from; k >= 1 && k < static_cast<int>(side.size()); k += step) {
            const double t = courses.time[k];
            if (step < 0 ? t < far : t > far)
                break;
            if (step < 0 ? t > near : t < near)
                continue;
            on += side[k] == wanted;
            off += side[k] == -wanted;
        }
        return on >= 2 && off <= kStrayShare * (on + off);
    };
    return holds(before, -1, flip - gap, flip - gap - held, side[before]) &&
           holds(after, +1, flip + gap, flip + gap + held, side[after]);
}

// Round a mark: the mean course, settled or not, when there was one.
Course meanCourse(Course course)
{
    course.settled = course.speed > 0;
    return course;
}

// The time the boat passed a course item between `from` and `to`, if it did.
std::optional<double> roundingWithin(const RaceState &race, const BoatEntry &boat, double from, double to)
{
    for (int k = 1; k <= race.courseLength(); ++k) {
        if (passed(boat.roundingTime[k]) && boat.roundingTime[k] > from && boat.roundingTime[k] < to)
            return boat.roundingTime[k];
    }
    return std::nullopt;
}

// Ground made good along `bearing` between two fixes, metres.
double madeGood(const TrackSample &a, const TrackSample &b, double bearing, double cosLat)
{
    const double north = (b.lat - a.lat) * kMetresPerMinute, east = (b.lon - a.lon) * kMetresPerMinute * cosLat;
    return north * std::cos(bearing * kDegree) + east * std::sin(bearing * kDegree);
}

// The manoeuvre: from the last fix before `flip` still on the course before
// to the first after it back on the course after and up to speed again (95 %
// of the speed before), or, when the boat never gets there, the end of the
// settled course after.
std::pair<int, int> turnEnds(const BoatEntry &boat, const SteadyCourses &courses, int flip, const Course &in,
                             const Course &out, double settledBy)
{
    int first = flip, last = flip + 1;
    while (first > 1 && courses.angleOff(first, in.heading, kBackOnCourse) > kBackOnCourse)
        --first;
    const auto recovered = [&](int i) {
        return courses.angleOff(i, out.heading, kBackOnCourse) <= kBackOnCourse &&
               boat.samples[i].speed >= kRecovered * in.speed;
    };
    while (last < boat.sampleCount() && courses.time[last + 1] <= settledBy && !recovered(last))
        ++last;
    return {first, last};
}

// One reading of the true wind direction: a unit vector in its second of
// the race window.
struct WindReading {
    std::size_t second;
    CourseVector direction;
};

// The wind a boat's fixes tell between two of its turns of one kind: each
// fix's course less the angle the boat sails off the wind (negative with
// the wind on the other side), turned round for gybes. The courses are
// whole degrees, so a few hundred directions serve thousands of fixes: each
// one's unit vector is worked out once.
class WindAlongCourses {
public:
    WindAlongCourses(Manoeuvre::Kind kind, double offWind) : kind_(kind), offWind_(offWind) {}

    CourseVector at(double heading)
    {
        if (!(heading >= 0 && heading <= 360) || heading != static_cast<int>(heading))
            return unitVector(direction(heading));
        std::optional<CourseVector> &known = known_[static_cast<std::size_t>(heading)];
        if (!known)
            known = unitVector(direction(heading));
        return *known;
    }

private:
    double direction(double heading) const { return kind_ == Manoeuvre::Tack ? heading - offWind_ : heading - offWind_ + 180; }

    Manoeuvre::Kind kind_;
    double offWind_;
    std::array<std::optional<CourseVector>, 361> known_;
};

// The seconds of the race window, which readings of the wind fall into.
struct WindWindow {
    WindWindow(double from, double to)
        : start(std::floor(from)), seconds(static_cast<std::size_t>(std::max(0.0, std::ceil(to) - std::floor(from))) + 1)
    {
    }

    // The second that race time `time` falls in; nothing outside the window.
    std::optional<std::size_t> secondOf(double time) const
    {
        const double k = std::round(time - start);
        if (k < 0 || k >= static_cast<double>(seconds))
            return std::nullopt;
        return static_cast<std::size_t>(k);
    }

    double start;  // race time of the first second
    std::size_t seconds;
};

// Readings of the true wind direction summed as unit vectors into the
// seconds of the race window.
class WindReadings {
public:
    explicit WindReadings(const WindWindow &window) : start_(window.start), x_(window.seconds), y_(window.seconds)
    {
        for (long k = -kReach; k <= kReach; ++k) {
            const double off = static_cast<double>(k) / kEstimateSpread;
            weights_[static_cast<std::size_t>(k + kReach)] = std::exp(-off * off / 2);
        }
    }

    void add(const std::vector<WindReading> &readings)
    {
        for (const WindReading &reading : readings) {
            x_[reading.second] += reading.direction.north;
            y_[reading.second] += reading.direction.east;
            empty_ = false;
        }
    }

    bool empty() const { return empty_; }

    // The direction at race time t: the readings weighted by a bell
    // kEstimateSpread seconds wide about t, so that the estimate follows the
    // oscillations of the wind rather than smoothing them away; where no
    // reading is that near, the nearest second with readings.
    double at(double t) const
    {
        const long centre = std::lround(t - start_), size = static_cast<long>(x_.size());
        double x = 0, y = 0;
        for (long k = std::max(0L, centre - kReach); k <= std::min(size - 1, centre + kReach); ++k) {
            const double weight = weights_[static_cast<std::size_t>(k - centre + kReach)];
            x += weight * x_[static_cast<std::size_t>(k)];
            y += weight * y_[static_cast<std::size_t>(k)];
        }
        for (long d = kReach + 1; x == 0 && y == 0 && d < 2 * size; ++d) {
            for (const long k : {centre - d, centre + d}) {
                if (k >= 0 && k < size && x == 0 && y == 0) {
                    x = x_[static_cast<std::size_t>(k)];
                    y = y_[static_cast<std::size_t>(k)];
                }
            }
        }
        const double twd = std::atan2(y, x) / kDegree;
        return twd < 0 ? twd + 360 : twd;
    }

private:
    static constexpr auto kReach = static_cast<long>(3 * kEstimateSpread);  // seconds either side

    double start_;
    std::vector<double> x_, y_;
    std::array<double, 2 * kReach + 1> weights_;  // the bell's, from -kReach to kReach seconds
    bool empty_ = true;
};

// The half angle a boat turns through in its tacks (or gybes): the angle it
// sails off the wind between them. The median, so that a wide turn does not
// count much; turns going round a mark, from one leg onto the next, not at
// all; 0 without such turns.
double halfTurn(const BoatEntry &boat, Manoeuvre::Kind kind)
{
    std::vector<double> halves;
    for (const Manoeuvre &m : boat.manoeuvres) {
        if (m.kind == kind && !m.atMark)
            halves.push_back(std::abs(signedAngle(m.headingOut - m.headingIn)) / 2);
    }
    if (halves.empty())
        return 0;
    std::nth_element(halves.begin(), halves.begin() + halves.size() / 2, halves.end());
    return halves[halves.size() / 2];
}

bool roundsBetween(const RaceState &race, const BoatEntry &boat, double from, double to)
{
    for (int k = 1; k <= race.courseLength(); ++k) {
        if (passed(boat.roundingTime[k]) && boat.roundingTime[k] > from && boat.roundingTime[k] < to)
            return true;
    }
    return false;
}

// What a boat's turns tell of the wind: the bisector of each turn's courses
// (turned round for a gybe), and, between two tacks (or two gybes) on the
// same leg, its course at each fix less the angle it sails off the wind, so
// that the readings follow the shifts the boat sails in.
std::vector<WindReading> readWindFromBoat(const RaceState &race, const BoatEntry &boat, const WindWindow &window)
{
    std::vector<WindReading> readings;
    const auto read = [&](double time, const auto &unitVectorOfTwd) {
        if (const auto second = window.secondOf(time))
            readings.push_back({*second, unitVectorOfTwd()});
    };
    const auto &turns = boat.manoeuvres;
    const double halfTack = halfTurn(boat, Manoeuvre::Tack), halfGybe = halfTurn(boat, Manoeuvre::Gybe);
    // Between tacks and between gybes, the course out of the first turn
    // clockwise of its bisector or not.
    std::array<WindAlongCourses, 4> stretches = {
        {{Manoeuvre::Tack, halfTack}, {Manoeuvre::Tack, -halfTack}, {Manoeuvre::Gybe, halfGybe}, {Manoeuvre::Gybe, -halfGybe}}};
    for (std::size_t j = 0; j < turns.size(); ++j) {
        const Manoeuvre &m = turns[j];
        // Going round a mark the courses either side are the legs', not
        // two settled tacks or gybes: no bisector of the wind.
        if (m.atMark)
            continue;
        const double bisector = m.headingIn + signedAngle(m.headingOut - m.headingIn) / 2;
        const double twd = m.kind == Manoeuvre::Tack ? bisector : bisector + 180;
        read(m.time, [&] { return unitVector(twd); });
        if (j + 1 == turns.size())
            continue;
        const Manoeuvre &next = turns[j + 1];
        if (next.kind != m.kind || next.time - m.time > kLegSeconds || roundsBetween(race, boat, m.time, next.time))
            continue;
        const bool clockwiseOut = signedAngle(m.headingOut - bisector) > 0;
        WindAlongCourses &along = stretches[(m.kind == Manoeuvre::Tack ? 0 : 2) + (clockwiseOut ? 0 : 1)];
        const auto from = std::upper_bound(boat.samples.begin() + 1, boat.samples.end(), m.time + kGapSeconds,
                                           [](double t, const TrackSample &x) { return t < x.time; });
        for (auto s = from; s != boat.samples.end() && s->time < next.time - kGapSeconds; ++s)
            read(s->time, [&] { return along.at(s->heading); });
    }
    return readings;
}

// The fleet's wind every kEstimateStep seconds of the race window; empty
// without readings. Each boat's readings, `readBoat(b, window)`, are worked
// out on every processor and summed here boat by boat, in the order one
// after another would sum them.
template <typename ReadBoat>
std::vector<WindEstimate> fleetWind(const RaceState &race, ReadBoat &&readBoat)
{
    const WindWindow window(race.windowStart, race.windowEnd);
    WindReadings readings(window);
    produceInOrder(
        1, race.boatCount, [&](int b) { return readBoat(b, window); },
        [&](int, const std::vector<WindReading> &fromBoat) { readings.add(fromBoat); });
    std::vector<WindEstimate> estimate;
    if (readings.empty())
        return estimate;
    for (double t = std::ceil(race.windowStart / kEstimateStep) * kEstimateStep; t <= race.windowEnd; t += kEstimateStep)
        estimate.push_back({t, 0});
    parallelFor(0, static_cast<int>(estimate.size()) - 1, [&](int k) {
        WindEstimate &e = estimate[static_cast<std::size_t>(k)];
        e.twd = roundHalfEven(readings.at(e.time)) % 360;
    });
    return estimate;
}

std::vector<Manoeuvre> detectTurns(const RaceState &race, const BoatEntry &boat, const SteadyCourses &courses,
                                   const TurnWindows &windows, const WindDirectionAt &wind)
{
    std::vector<Manoeuvre> found;
    const int n = boat.sampleCount();
    if (n < 6)
        return found;
    const double window = windows.settled, gap = windows.gap;
    const int minimumFixes = windows.minimumFixes;
    // Before its start and after its finish a boat potters about.
    const double start = boat.roundingTime[1], finish = boat.roundingTime[race.courseLength()];
    double quietUntil = -1e18;
    // The wind at each course, then the side of it the course is on.
    const std::vector<signed char> side = courses.windSides(wind.along(courses.time));
    int next = 1;
    for (int i = 1; i < n; ++i) {
        // A course straight into the wind (or straight downwind) is on
        // neither side: the wind changes side between the last course on one
        // side and the first on the other. The next course on a side is
        // looked for once for a run of such courses, not again from each of
        // them: a boat lying head to wind logs thousands.
        if (next <= i) {
            next = i + 1;
            while (next < n && side[next] == 0)
                ++next;
        }
        if (side[i] == 0 || side[next] == 0 || side[i] == side[next] || courses.time[next] < quietUntil)
            continue;
        const double flip = (courses.time[i] + courses.time[next]) / 2;
        if ((passed(start) && flip < start) || (passed(finish) && flip > finish))
            continue;
        if (!turnsEnough(boat, courses, i, flip - gap, flip + gap))
            continue;
        Course in = settledCourse(boat, courses, i, flip - gap - window, flip - gap, minimumFixes);
        Course out = settledCourse(boat, courses, next, flip + gap, flip + gap + window, minimumFixes);
        // A turn onto a lay line leads straight into the rounding, and one
        // out of a rounding follows straight on it: the course on that side
        // is the shorter stretch between the turn and the mark.
        // Too short a stretch for that, the course is the leg beyond the
        // rounding: a run, the mark, and a tack soon after is still a tack.
        if (!out.settled) {
            if (const auto mark = roundingWithin(race, boat, flip + gap, flip + gap + window)) {
                out = settledCourse(boat, courses, next, flip + gap, std::max(flip + gap, *mark - gap), minimumFixes);
                if (!out.settled)
                    out = settledCourse(boat, courses, next, *mark + gap, *mark + gap + window, minimumFixes);
            }
        }
        if (!in.settled) {
            if (const auto mark = roundingWithin(race, boat, flip - gap - window, flip - gap)) {
                in = settledCourse(boat, courses, i, std::min(flip - gap, *mark + gap), flip - gap, minimumFixes);
                if (!in.settled)
                    in = settledCourse(boat, courses, i, *mark - gap - window, *mark - gap, minimumFixes);
            }
        }
        const bool nearMark = nearRounding(race, boat, flip, windows.nearMark);
        const bool changedSide = in.settled && out.settled &&
                                 (signedAngle(in.heading - wind(flip)) > 0) != (signedAngle(out.heading - wind(flip)) > 0);
        // Round a mark the side must hold a while whatever the boat's speed:
        // a fast boat wobbles through the wind's stern for as long as a slow one.
        const double held = std::max(window / 2, kSideHeldSeconds);
        const bool roundTheMark = !changedSide && nearMark && sidesHeld(courses, side, i, next, flip, gap, held);
        if (roundTheMark) {
            in = meanCourse(settledCourse(boat, courses, i, flip - gap - held, flip - gap, 2));
            out = meanCourse(settledCourse(boat, courses, next, flip + gap, flip + gap + held, 2));
        }
        const double turn = std::abs(signedAngle(out.heading - in.heading));
        if (!in.settled || !out.settled || turn < kMinGybeTurn)
            continue;
        const double twd = wind(flip);
        const double twaIn = signedAngle(in.heading - twd), twaOut = signedAngle(out.heading - twd);
        if ((twaIn > 0) == (twaOut > 0))
            continue;
        Manoeuvre m;
        m.atMark = nearMark;
        if (std::abs(twaIn) < kCloseHauled && std::abs(twaOut) < kCloseHauled)
            m.kind = Manoeuvre::Tack;
        else if (std::abs(twaIn) > kRunning && std::abs(twaOut) > kRunning)
            m.kind = Manoeuvre::Gybe;
        else if (m.atMark)
            // Going round a mark a boat changes from a beat to a run or back,
            // and may change side on the way: through the wind's eye is a
            // tack, through its stern a gybe, as the courses either side of
            // the moment the wind changed side show.
            m.kind = std::abs(signedAngle(courses.heading(i) - twd)) + std::abs(signedAngle(courses.heading(next) - twd)) > 180
                         ? Manoeuvre::Gybe
                         : Manoeuvre::Tack;
        else
            continue;
        if (m.kind == Manoeuvre::Tack && turn < kMinTurn)
            continue;
        m.time = flip;
        m.headingIn = roundHalfEven(in.heading) % 360;
        m.headingOut = roundHalfEven(out.heading) % 360;
        m.speedIn = in.speed;
        m.speedOut = out.speed;
        const auto [first, last] = turnEnds(boat, courses, i, in, out, flip + gap + window);
        m.duration = boat.samples[last].time - boat.samples[first].time;
        // Upwind the ground counts towards the wind, downwind away from it.
        const double axis = m.kind == Manoeuvre::Tack ? twd : twd + 180;
        // The loss: the ground the boat would have made good on the course
        // before, at its speed made good there, from the end of that course
        // to the end of the settled course after, less what it did make good.
        // Both from the ground covered: a speed from noisy fixes runs high,
        // and the boat gets up to speed again only slowly.
        const TrackSample &inFrom = boat.samples[in.first], &turnFrom = boat.samples[in.last];
        int settledAfter = out.first;
        while (settledAfter < out.last && boat.samples[settledAfter].time < flip + window)
            ++settledAfter;
        const TrackSample &turnTo = boat.samples[settledAfter];
        const double vmg = turnFrom.time > inFrom.time ? madeGood(inFrom, turnFrom, axis, race.extent.cosLat) / (turnFrom.time - inFrom.time)
                                                       : 0;
        m.lossMetres = vmg * (turnTo.time - turnFrom.time) - madeGood(turnFrom, turnTo, axis, race.extent.cosLat);
        m.lossSeconds = vmg > 0.1 ? m.lossMetres / vmg : 0;
        found.push_back(m);
        quietUntil = flip + (roundTheMark ? std::max(window, gap + held) : window);
    }
    return found;
}

// A turn from one settled course to another through 50 to 130 degrees, the
// wind not known: a tack or a gybe, by its size (a bear-away from a beat to
// a run turns through more).
struct Turn {
    double bisector = 0;  // degrees true, between the courses before and after
    double speed = 0;     // knots, the mean speed on them
};
constexpr double kMaxTurn = 130;
constexpr std::size_t kFewestTurns = 6;

// A boat's turns between its start and its finish.
std::vector<Turn> turnsOf(const RaceState &race, const BoatEntry &boat, const SteadyCourses &courses, const TurnWindows &w)
{
    std::vector<Turn> turns;
    const int n = boat.sampleCount();
    if (n < 6 || !passed(boat.roundingTime[1]))
        return turns;
    const double finish = boat.roundingTime[race.courseLength()];
    const double last = std::min(passed(finish) ? finish : courses.time[n], courses.time[n]) - w.gap - w.settled;
    int i = 1;
    // A look every gap: a turn shorter than two gaps lies wholly between the
    // settled courses of one of the looks.
    for (double t = boat.roundingTime[1] + w.gap + w.settled; t < last; t += w.gap) {
        while (i < n - 1 && courses.time[i + 1] <= t)
            ++i;
        if (!turnsEnough(boat, courses, i, t - w.gap, t + w.gap))
            continue;
        const Course in = settledCourse(boat, courses, i, t - w.gap - w.settled, t - w.gap, w.minimumFixes);
        const Course out = settledCourse(boat, courses, i + 1, t + w.gap, t + w.gap + w.settled, w.minimumFixes);
        const double turn = signedAngle(out.heading - in.heading);
        if (!in.settled || !out.settled || std::abs(turn) < kMinTurn || std::abs(turn) > kMaxTurn)
            continue;
        turns.push_back({in.heading + turn / 2, (in.speed + out.speed) / 2});
        t += w.settled;  // past this turn
    }
    return turns;
}

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// Where the fleet sailed on its first leg: from the boats' starts to their
// passing of the second course item, as a mean bearing; nothing when no boat
// got there.
std::optional<double> firstLegBearing(const RaceState &race)
{
    CourseVector sum;
    for (int b = 1; b <= race.boatCount; ++b) {
        const BoatEntry &boat = race.boats[b];
        if (race.courseLength() < 2 || !passed(boat.roundingTime[1]) || !passed(boat.roundingTime[2]))
            continue;
        const GeoPoint from = positionAt(boat, boat.roundingTime[1]), to = positionAt(boat, boat.roundingTime[2]);
        const double north = to.lat - from.lat, east = (to.lon - from.lon) * race.extent.cosLat;
        const double length = std::hypot(north, east);
        if (length > 0) {
            sum.north += north / length;
            sum.east += east / length;
        }
    }
    if (sum.north == 0 && sum.east == 0)
        return std::nullopt;
    return std::atan2(sum.east, sum.north) / kDegree;
}

// The wind's direction read from the fleet's turns alone. A tack's bisector
// points into the wind and a gybe's away from it, so together they lie along
// the wind's axis (taken as the mean of the doubled angles, which makes the
// two ends one). The wind blows from the end the slower turns point to, as
// boats sail slower upwind than down; where their speeds do not tell, from
// the end the first leg heads for, a beat as nearly every first leg is.
// Nothing when the turns are too few or lie along no axis.
std::optional<double> windFromTurns(const std::vector<Turn> &turns, std::optional<double> firstLeg)
{
    if (turns.size() < kFewestTurns)
        return std::nullopt;
    CourseVector doubled;
    for (const Turn &t : turns) {
        doubled.north += std::cos(2 * t.bisector * kDegree);
        doubled.east += std::sin(2 * t.bisector * kDegree);
    }
    constexpr double kClearAxis = 0.5;  // of the turns' count: the resultant of bisectors near one axis
    if (std::hypot(doubled.north, doubled.east) < kClearAxis * static_cast<double>(turns.size()))
        return std::nullopt;
    const double axis = std::atan2(doubled.east, doubled.north) / kDegree / 2;
    std::vector<double> towards, away;
    for (const Turn &t : turns)
        (std::abs(signedAngle(std::remainder(t.bisector - axis, 360.0))) < 90 ? towards : away).push_back(t.speed);
    constexpr double kClearlySlower = 0.9;
    if (towards.size() >= 2 && away.size() >= 2) {
        const double up = median(towards), down = median(away);
        if (up < kClearlySlower * down)
            return axis;
        if (down < kClearlySlower * up)
            return axis + 180;
    }
    if (firstLeg)
        return std::abs(std::remainder(*firstLeg - axis, 360.0)) < 90 ? axis : axis + 180;
    return std::nullopt;
}

}  // namespace

QString manoeuvreSummary(const BoatEntry &boat)
{
    if (boat.manoeuvres.empty())
        return {};
    int tacks = 0;
    double loss = 0;
    for (const Manoeuvre &m : boat.manoeuvres) {
        tacks += m.kind == Manoeuvre::Tack ? 1 : 0;
        loss += m.lossSeconds;
    }
    const int gybes = static_cast<int>(boat.manoeuvres.size()) - tacks;
    return QStringLiteral("%1 tack%2, %3 gybe%4, mean loss %5 s")
        .arg(tacks)
        .arg(tacks == 1 ? "" : "s")
        .arg(gybes)
        .arg(gybes == 1 ? "" : "s")
        .arg(loss / static_cast<double>(boat.manoeuvres.size()), 0, 'f', 1);
}

GeoPoint positionAt(const BoatEntry &boat, double t)
{
    const auto &s = boat.samples;
    const int n = boat.sampleCount();
    if (n == 0)
        return {};
    const auto after = std::upper_bound(s.begin() + 1, s.end(), t, [](double time, const TrackSample &x) { return time < x.time; });
    if (after == s.begin() + 1)
        return {s[1].lat, s[1].lon};
    if (after == s.end())
        return {s[n].lat, s[n].lon};
    const TrackSample &a = *(after - 1), &b = *after;
    const double f = b.time > a.time ? (t - a.time) / (b.time - a.time) : 0;
    return {a.lat + f * (b.lat - a.lat), a.lon + f * (b.lon - a.lon)};
}

QString manoeuvreKindName(Manoeuvre::Kind kind) { return kind == Manoeuvre::Tack ? QStringLiteral("tack") : QStringLiteral("gybe"); }

WindDirectionAt raceWind(const RaceState &race)
{
    if (race.windSampleCount() == 0)
        return WindDirectionAt(race.windDirection);
    return WindDirectionAt(race.windSamples);
}

std::vector<Manoeuvre> detectManoeuvres(const RaceState &race, const BoatEntry &boat, const WindDirectionAt &wind)
{
    const TurnWindows windows(race, boat);
    return detectTurns(race, boat, SteadyCourses(boat, race.extent.cosLat, windows.steady), windows, wind);
}

std::vector<WindEstimate> estimateWind(const RaceState &race)
{
    return fleetWind(race, [&](int b, const WindWindow &window) { return readWindFromBoat(race, race.boats[b], window); });
}

WindDirectionAt analysisWind(const RaceState &race)
{
    if (race.windSampleCount() > 0 || race.estimatedWind.empty())
        return raceWind(race);
    return WindDirectionAt(race.estimatedWind, kEstimateStep);
}

WindDirections analysisWindDirections(const RaceState &race)
{
    WindDirections directions;
    if (race.windSampleCount() == 0) {
        directions.points = race.estimatedWind;
        directions.estimated = !directions.points.empty();
        return directions;
    }
    for (int i = 1; i <= race.windSampleCount(); ++i)
        directions.points.push_back({race.windSamples[i].time, race.windSamples[i].twd});
    return directions;
}

namespace {

// The wind's direction read from the fleet's turns alone, before any tack
// is told from a gybe; nothing where the fleet cannot tell.
std::optional<double> windFromFleet(const RaceState &race, const std::vector<SteadyCourses> &courses,
                                    const std::vector<TurnWindows> &windows)
{
    std::vector<std::vector<Turn>> turns(race.boatCount + 1);
    parallelFor(1, race.boatCount, [&](int b) { turns[b] = turnsOf(race, race.boats[b], courses[b], windows[b]); });
    std::vector<Turn> all;
    for (const std::vector<Turn> &boatTurns : turns)
        all.insert(all.end(), boatTurns.begin(), boatTurns.end());
    const auto twd = windFromTurns(all, firstLegBearing(race));
    return twd ? std::optional<double>(std::fmod(*twd + 360, 360.0)) : std::nullopt;
}

}  // namespace

void findManoeuvres(RaceState &race, const std::function<void(int)> &prepareBoat)
{
    std::vector<SteadyCourses> courses(race.boatCount + 1);
    std::vector<TurnWindows> windows(race.boatCount + 1, TurnWindows(1, 1));
    parallelFor(1, race.boatCount, [&](int b) {
        if (prepareBoat)
            prepareBoat(b);
        windows[b] = TurnWindows(race, race.boats[b]);
        courses[b] = SteadyCourses(race.boats[b], race.extent.cosLat, windows[b].steady);
    });
    // Each boat's turns and the wind they tell of are worked out in one
    // task, while its track is at hand.
    const auto detectAndEstimate = [&](const WindDirectionAt &wind) {
        return fleetWind(race, [&](int b, const WindWindow &window) {
            BoatEntry &boat = race.boats[b];
            boat.manoeuvres = detectTurns(race, boat, courses[b], windows[b], wind);
            return readWindFromBoat(race, boat, window);
        });
    };
    race.estimatedWind.clear();
    if (race.windSampleCount() > 0) {
        race.estimatedWind = detectAndEstimate(raceWind(race));
        return;
    }
    // Without wind records the fleet tells the wind: first from its turns
    // alone, then, pass by pass, from its tacks and gybes. The race file's
    // mean wind is taken only where the fleet cannot tell.
    const WindDirectionAt fleet(windFromFleet(race, courses, windows).value_or(race.windDirection));
    race.estimatedWind = detectAndEstimate(fleet);
    if (!race.estimatedWind.empty())
        race.estimatedWind = detectAndEstimate(analysisWind(race));  // against the first pass's estimate
}

}  // namespace keelrun
