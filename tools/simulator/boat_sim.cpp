#include "boat_sim.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>

namespace keelrun::sim {
namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kSpeedResponse = 0.15;    // share of the speed difference made up each second
constexpr double kWindMemory = 90;         // seconds over which the crew averages the wind direction
constexpr double kApproachSeconds = 150;   // the final run at the start line begins this long before
constexpr double kRecallSeconds = 5;       // an early starter notices the recall this long after the gun
constexpr double kMissedMarkShortfall = 650;  // metres short of the mark a boat that misses it turns
constexpr double kDipDepth = 25;           // metres a dipping boat goes over the start line, and back below it
constexpr double kCrossingsMerged = 15;    // seconds between crossings of the wind's eye or stern that make one turn
constexpr double kShallow = 15;            // degrees onto the other side a boat must get for a tack or gybe

double wrap360(double deg)
{
    deg = std::fmod(deg, 360.0);
    return deg < 0 ? deg + 360 : deg;
}

// A mark (or the mark the boat chose at a gate, or the point where a boat
// that misses the mark turns) and how to go round it. dir is +1 when the
// mark is left to port: seen from above the boat circles it anticlockwise.
struct Rounding {
    Vec2 mark, approach, inDir;
    double inBearing = 0, exitBearing = 0;
    int dir = 1;
    bool timed = true;
};

enum class Phase { Milling, Starting, Returning, Racing, Finished };
// A dip before the gun: over the start line, then back below it.
enum class Dip { None, Over, Back };

class Sailor {
public:
    Sailor(const Course &course, const WindField &wind, const BoatPlan &plan, Random noise);
    BoatRun run(double timeLimit);

private:
    void step(double t);
    double desiredHeading(double t, const Wind &w, double &share);
    std::optional<Vec2> dipTarget(double t);
    double navigate(Vec2 target, const Wind &w, double t);
    double orbitHeading(const Wind &w);
    void afterStep(double t, Vec2 from, Vec2 to);
    void checkStart(double t, Vec2 from, Vec2 to);
    void followRounding(double t, Vec2 from, Vec2 to);
    void beginItem(std::size_t index);
    Vec2 throughLine(Vec2 point, bool missedIt) const;
    void pickMillingTarget(double t);
    void pickDriftTarget(double t);
    void mergeCrossings();
    double depthOnNewSide(const SailedManoeuvre &crossing, double until) const;
    double lossOf(const SailedManoeuvre &m, double from, double to) const;
    void settleManoeuvres();

    const Course &course_;
    const WindField &wind_;
    const BoatPlan &plan_;
    Random rng_;
    double lineLength_;
    Vec2 startPoint_;

    Vec2 pos_;
    double heading_ = 0, speed_ = 1;
    int side_ = 1;  // +1: heading to the right of the wind direction, -1: to the left
    double meanTwd_ = 0, lastTurn_ = -1e9;
    double helm_ = 0, waves_ = 0;  // the helmsman's wander and the sea's effect on speed
    Phase phase_ = Phase::Milling;
    double startDelay_ = 0;
    bool overEarly_ = false;
    Dip dip_ = Dip::None;
    std::size_t nextDip_ = 0;
    Vec2 target_;
    double targetSince_ = 0;

    std::size_t item_ = 0;
    Vec2 lastPoint_;
    Rounding rounding_;
    bool orbiting_ = false;
    double turned_ = 0, needed_ = 0;
    double closest_ = 0, closestAt_ = 0;

    std::vector<double> twaHistory_;  // the true wind angle sailed in each second of the run
    std::vector<double> twdHistory_;  // and the true wind direction
    BoatRun result_;
};

Sailor::Sailor(const Course &course, const WindField &wind, const BoatPlan &plan, Random noise)
    : course_(course), wind_(wind), plan_(plan), rng_(noise),
      lineLength_(length(course.startLine().end1 - course.startLine().end2)),
      startPoint_(course.startLine().middle() + course.right * (plan.startPlace * lineLength_)),
      startDelay_(plan.startDelay), lastPoint_(startPoint_)
{
    pos_ = course.startLine().middle() + course.upwind * rng_.uniform(-450, -150) +
           course.right * (rng_.uniform(-0.6, 0.6) * lineLength_);
    heading_ = rng_.uniform(0, 360);
    meanTwd_ = wind.at(plan.firstTime, pos_).twd;
    side_ = normalizeAngle(heading_ - meanTwd_) >= 0 ? 1 : -1;
    pickMillingTarget(plan.firstTime);
}

BoatRun Sailor::run(double timeLimit)
{
    result_.firstTime = plan_.firstTime;
    result_.passings.assign(course_.items.size(), std::nullopt);
    result_.positions.reserve(static_cast<std::size_t>(std::max(timeLimit - plan_.firstTime, 0.0)) + 1);
    for (double t = plan_.firstTime;; t += 1) {
        result_.positions.push_back(pos_);
        if (t >= plan_.retireAt) {
            result_.retiredAt = t;
            break;
        }
        if (result_.finishTime && t >= std::max(*result_.finishTime + plan_.driftSeconds, plan_.sailUntil))
            break;
        if (t >= timeLimit)
            break;
        step(t);
    }
    settleManoeuvres();
    return std::move(result_);
}

void Sailor::step(double t)
{
    const Wind w = wind_.at(t, pos_);
    meanTwd_ += normalizeAngle(w.twd - meanTwd_) / kWindMemory;
    double share = 1;
    const double wanted = desiredHeading(t, w, share);
    helm_ = 0.95 * helm_ + 0.6 * rng_.normal();
    waves_ = 0.97 * waves_ + 0.004 * rng_.normal();

    const double before = normalizeAngle(heading_ - w.twd);
    heading_ = wrap360(heading_ + std::clamp(normalizeAngle(wanted + helm_ - heading_), -plan_.turnRate, plan_.turnRate));
    const double twa = normalizeAngle(heading_ - w.twd);
    twaHistory_.push_back(twa);
    twdHistory_.push_back(w.twd);
    if (before * twa < 0) {  // through the wind (a tack) or through the dead run (a gybe)
        const bool tack = std::fabs(twa) < 90;
        speed_ *= tack ? plan_.tackSpeedKept : plan_.gybeSpeedKept;
        if (phase_ == Phase::Racing)
            result_.manoeuvres.push_back({t + 1, tack ? SailedManoeuvre::Tack : SailedManoeuvre::Gybe, orbiting_});
    }
    const double wantedSpeed = plan_.polar->speed(twa, w.tws) * plan_.skill * share * (1 + waves_) * kKnot;
    speed_ += (wantedSpeed - speed_) * kSpeedResponse;

    Vec2 next = pos_ + towards(heading_) * speed_;
    // Before the gun a boat that means to start properly stays behind the line.
    if (t + 1 <= 0 && plan_.startDelay >= 0 && dip_ == Dip::None) {
        const double above = course_.aboveStart(next);
        if (above > -3)
            next = next - course_.upwind * (above + 3);
    }
    afterStep(t, pos_, next);
    pos_ = next;
}

// Where a boat dipping the line before the gun is heading, if it is.
std::optional<Vec2> Sailor::dipTarget(double t)
{
    if (dip_ == Dip::None && nextDip_ < plan_.dips.size() && t >= plan_.dips[nextDip_]) {
        dip_ = Dip::Over;
        ++nextDip_;
    }
    const double above = course_.aboveStart(pos_);
    if (dip_ == Dip::Over && above > kDipDepth)
        dip_ = Dip::Back;
    if (dip_ == Dip::Back && above < -kDipDepth)
        dip_ = Dip::None;
    if (dip_ == Dip::None)
        return std::nullopt;
    return startPoint_ + course_.upwind * (dip_ == Dip::Over ? 2 * kDipDepth : -2 * kDipDepth);
}

double Sailor::desiredHeading(double t, const Wind &w, double &share)
{
    if (phase_ == Phase::Milling || phase_ == Phase::Starting) {
        if (const auto target = dipTarget(t))
            return navigate(*target, w, t);
    }
    switch (phase_) {
    case Phase::Milling:
        if (t < startDelay_ - kApproachSeconds) {
            if (length(target_ - pos_) < 25 || t - targetSince_ > 100)
                pickMillingTarget(t);
            share = 0.6;
            return navigate(target_, w, t);
        }
        phase_ = Phase::Starting;
        [[fallthrough]];
    case Phase::Starting: {
        // Time the run at the line: sail slower while early.
        const double below = -course_.aboveStart(pos_);
        const double toGo = startDelay_ - t;
        const double vmg = plan_.polar->bestUpwind(w.tws).vmg * plan_.skill * kKnot;
        if (toGo > 0 && below > 0 && vmg > 0)
            share = std::clamp(below / (toGo * vmg), 0.3, 1.0);
        return navigate(throughLine(startPoint_, below < 0 && !overEarly_), w, t);
    }
    case Phase::Returning:
        return navigate(startPoint_ - course_.upwind * 60, w, t);
    case Phase::Racing:
        if (orbiting_)
            return orbitHeading(w);
        if (course_.items[item_].kind == CourseItem::Finish)
            return navigate(throughLine(target_, dot(pos_ - target_, course_.upwind) > 0), w, t);
        return navigate(rounding_.approach, w, t);
    case Phase::Finished:
        if (t - *result_.finishTime > 20) {
            if (length(target_ - pos_) < 25 || t - targetSince_ > 120)
                pickDriftTarget(t);
            share = 0.35;
        }
        return navigate(target_, w, t);
    }
    return heading_;
}

// Sails for a point: straight when it can be laid, otherwise close-hauled or
// at the best downwind angle, tacking or gybing on the shifts and before
// getting too close to the lay lines.
double Sailor::navigate(Vec2 target, const Wind &w, double t)
{
    const Vec2 to = target - pos_;
    const double a = normalizeAngle(bearingOf(to) - w.twd);
    const double up = plan_.polar->bestUpwind(w.tws).angle;
    const double down = plan_.polar->bestDownwind(w.tws).angle;
    const bool canTurn = t - lastTurn_ >= plan_.minTackGap;
    const double shift = normalizeAngle(w.twd - meanTwd_);
    if (std::fabs(a) < up) {
        const bool headed = side_ * shift > plan_.shiftThreshold;
        const bool nearLayline = side_ * a < -up * plan_.cornering;
        if (canTurn && (headed || nearLayline)) {
            side_ = -side_;
            lastTurn_ = t;
        }
        return w.twd + side_ * up;
    }
    if (std::fabs(a) > down) {
        const double offRun = normalizeAngle(a - 180);
        const bool headed = -side_ * shift > plan_.shiftThreshold;
        const bool nearLayline = side_ * offRun > (180 - down) * plan_.cornering;
        if (canTurn && (headed || nearLayline)) {
            side_ = -side_;
            lastTurn_ = t;
        }
        return w.twd + side_ * down;
    }
    side_ = a >= 0 ? 1 : -1;
    return bearingOf(to);
}

// Circles the mark at the rounding radius, never pointing inside the no-go
// zone: at a windward mark the boat sails close-hauled on the tack that has
// the mark on the inside (starboard for a mark left to port) until it can
// bear away round it.
double Sailor::orbitHeading(const Wind &w)
{
    const Vec2 rel = pos_ - rounding_.mark;
    const double tangent = bearingOf(rel) - 90 * rounding_.dir;
    const double wide = length(rel) - plan_.roundingRadius;
    double wanted = tangent - rounding_.dir * std::clamp(wide * 4, -50.0, 50.0);
    const double up = plan_.polar->bestUpwind(w.tws).angle;
    if (std::fabs(normalizeAngle(wanted - w.twd)) < up) {
        side_ = -rounding_.dir;
        wanted = w.twd + side_ * up;
    }
    return wanted;
}

void Sailor::afterStep(double t, Vec2 from, Vec2 to)
{
    switch (phase_) {
    case Phase::Milling:
    case Phase::Starting:
    case Phase::Returning:
        checkStart(t, from, to);
        break;
    case Phase::Racing:
        if (course_.items[item_].kind == CourseItem::Finish) {
            const double f = crossingFraction(course_.finishLine().end1, course_.finishLine().end2, from, to);
            if (f >= 0 && dot(to - from, course_.upwind) > 0) {
                result_.passings[item_] = t + f;
                result_.finishTime = t + f;
                phase_ = Phase::Finished;
                target_ = target_ + course_.upwind * 100;  // sail on a little before easing off
                targetSince_ = t;
            }
        } else {
            followRounding(t, from, to);
        }
        break;
    case Phase::Finished:
        break;
    }
}

void Sailor::checkStart(double t, Vec2 from, Vec2 to)
{
    if (phase_ == Phase::Returning) {
        if (course_.aboveStart(to) < -20) {  // back below the line: start again
            phase_ = Phase::Starting;
            startDelay_ = t;
        }
        return;
    }
    if (dip_ != Dip::None)
        return;  // a dip well before the gun, not a start
    const LineSegment &line = course_.startLine();
    const double f = crossingFraction(line.end1, line.end2, from, to);
    if (f >= 0 && course_.aboveStart(to) > course_.aboveStart(from)) {
        const double when = t + f;
        if (when < 0) {
            overEarly_ = true;
            result_.earlyCrossing = when;
        } else if (!overEarly_) {
            result_.passings[0] = when;
            phase_ = Phase::Racing;
            beginItem(1);
            return;
        }
    }
    if (overEarly_ && t >= kRecallSeconds && plan_.returnsAfterStart) {
        overEarly_ = false;
        phase_ = Phase::Returning;
    }
}

void Sailor::followRounding(double t, Vec2 from, Vec2 to)
{
    const CourseItem &item = course_.items[item_];
    const Vec2 m = rounding_.mark;
    if (item.kind == CourseItem::Gate && !result_.passings[item_]) {
        const LineSegment &gate = course_.lines[item.number - 1];
        const double f = crossingFraction(gate.end1, gate.end2, from, to);
        if (f >= 0)
            result_.passings[item_] = t + f;
    }
    if (item.kind == CourseItem::Mark && rounding_.timed) {
        const Vec2 step = to - from;
        const double len2 = dot(step, step);
        const double f = len2 > 0 ? std::clamp(dot(m - from, step) / len2, 0.0, 1.0) : 0.0;
        const double d = length(from + step * f - m);
        if (d < closest_) {
            closest_ = d;
            closestAt_ = t + f;
        }
    }
    const Vec2 rel = to - m;
    if (!orbiting_) {
        const Vec2 approachSide = towards(rounding_.inBearing + 90 * rounding_.dir);
        const bool abeam = dot(rel, rounding_.inDir) >= 0 && length(rel) < 3 * plan_.roundingRadius &&
                           dot(rel, approachSide) > 0;
        if (length(to - rounding_.approach) < 15 || abeam) {
            orbiting_ = true;
            turned_ = 0;
            needed_ = wrap360(rounding_.dir * (bearingOf(rel) - rounding_.exitBearing));
            if (needed_ > 330)  // already past the exit side
                needed_ = 0;
        }
        return;
    }
    turned_ -= rounding_.dir * normalizeAngle(bearingOf(rel) - bearingOf(from - m));
    if (turned_ < needed_)
        return;
    if (item.kind == CourseItem::Mark && rounding_.timed)
        result_.passings[item_] = closestAt_;
    lastPoint_ = rounding_.mark;
    beginItem(item_ + 1);
}

void Sailor::beginItem(std::size_t index)
{
    item_ = index;
    orbiting_ = false;
    closest_ = 1e18;
    const CourseItem &item = course_.items[index];
    if (item.kind == CourseItem::Finish) {
        const LineSegment &line = course_.finishLine();
        const double half = length(line.end1 - line.end2) / 2;
        target_ = line.middle() + course_.right * rng_.uniform(-0.5 * half, 0.5 * half);
        return;
    }
    Rounding r;
    if (item.kind == CourseItem::Gate) {
        // The gate marks are MK2 (left looking downwind, left to port) and
        // MK3 (left to starboard); boats go through between them.
        const Vec2 a = course_.marks[1], b = course_.marks[2];
        const bool first = plan_.gateChoice == 0 ? length(pos_ - a) <= length(pos_ - b) : plan_.gateChoice == 1;
        r.mark = first ? a : b;
        r.dir = first ? 1 : -1;
    } else {
        r.mark = course_.marks[item.number - 1];
    }
    r.inDir = unit(r.mark - lastPoint_);
    if (plan_.missesFirstMark && index == 1) {
        r.mark = r.mark - r.inDir * kMissedMarkShortfall;
        r.timed = false;
    }
    r.inBearing = bearingOf(r.inDir);
    r.exitBearing = bearingOf(course_.pointOf(course_.items[index + 1]) - r.mark) + 90 * r.dir;
    r.approach = r.mark + towards(r.inBearing + 90 * r.dir) * plan_.roundingRadius;
    rounding_ = r;
}

// Where to steer to cross a start or finish line at `point`: just beyond it,
// or back below it after passing the line outside its ends.
Vec2 Sailor::throughLine(Vec2 point, bool missedIt) const
{
    return point + course_.upwind * (missedIt ? -30.0 : 10.0);
}

void Sailor::pickMillingTarget(double t)
{
    const double across = std::clamp(plan_.startPlace * lineLength_ + rng_.uniform(-150, 150),
                                     -0.55 * lineLength_, 0.55 * lineLength_);
    target_ = course_.startLine().middle() + course_.upwind * rng_.uniform(-250, -50) + course_.right * across;
    targetSince_ = t;
}

void Sailor::pickDriftTarget(double t)
{
    target_ = course_.finishLine().middle() + course_.upwind * rng_.uniform(40, 200) +
              course_.right * rng_.uniform(-150, 150);
    targetSince_ = t;
}

// The courses either side of each turn: the mean wind angle sailed 10 to 40
// seconds before and after it, and the largest departure from that mean.
// A crew logs a turn onto the other tack or gybe once, and only when the
// boat got onto the other side: sailing by the lee on a dead run, or
// luffing head to wind and bearing away again, crosses the wind's stern or
// eye without a gybe or a tack. A crossing cancels the one before it when
// the boat came back within seconds, or without getting kShallow degrees
// onto the other side. A run of wobbles leaves one turn when the boat ends
// on the other side, and none when it ends where it began.
void Sailor::mergeCrossings()
{
    const double gap = std::min(kCrossingsMerged, plan_.minTackGap / 2);
    std::vector<SailedManoeuvre> logged;
    for (const SailedManoeuvre &c : result_.manoeuvres) {
        if (!logged.empty() && logged.back().kind == c.kind &&
            (c.time - logged.back().time <= gap || depthOnNewSide(logged.back(), c.time) < kShallow)) {
            logged.pop_back();
            continue;
        }
        logged.push_back(c);
    }
    result_.manoeuvres = std::move(logged);
}

// How far the boat got onto the side a crossing took it to, until `until`:
// degrees off the wind's eye after a tack, off its stern after a gybe.
double Sailor::depthOnNewSide(const SailedManoeuvre &crossing, double until) const
{
    const auto index = [this](double t) { return static_cast<std::size_t>(std::max(t - 1 - plan_.firstTime, 0.0)); };
    const std::size_t first = index(crossing.time), end = std::min(index(until), twaHistory_.size());
    if (first >= end)
        return 0;
    const bool right = twaHistory_[first] > 0;
    double depth = 0;
    for (std::size_t k = first; k < end; ++k) {
        const double twa = twaHistory_[k];
        if ((twa > 0) != right)
            continue;
        depth = std::max(depth, crossing.kind == SailedManoeuvre::Tack ? std::fabs(twa) : 180 - std::fabs(twa));
    }
    return depth;
}

void Sailor::settleManoeuvres()
{
    mergeCrossings();
    const auto window = [this](double from, double to) {
        const auto first = static_cast<std::size_t>(std::max(from - plan_.firstTime, 0.0));
        const auto end = std::min(static_cast<std::size_t>(std::max(to - plan_.firstTime, 0.0)), twaHistory_.size());
        double x = 0, y = 0;
        for (std::size_t k = first; k < end; ++k) {
            x += std::cos(twaHistory_[k] * kDegree);
            y += std::sin(twaHistory_[k] * kDegree);
        }
        const double mean = std::atan2(y, x) / kDegree;
        double spread = 0;
        for (std::size_t k = first; k < end; ++k)
            spread = std::max(spread, std::fabs(normalizeAngle(twaHistory_[k] - mean)));
        return std::pair{mean, spread};
    };
    auto &logged = result_.manoeuvres;
    for (std::size_t i = 0; i < logged.size(); ++i) {
        SailedManoeuvre &m = logged[i];
        std::tie(m.twaIn, m.spreadIn) = window(m.time - 41, m.time - 11);
        std::tie(m.twaOut, m.spreadOut) = window(m.time + 9, m.time + 39);
        const double previous = i > 0 ? logged[i - 1].time : -1e9, next = i + 1 < logged.size() ? logged[i + 1].time : 1e9;
        m.lossMetres = lossOf(m, std::max(m.time - 40, previous + 10), std::min(m.time + 30, next - 10));
    }
}

// The ground a turn cost: from `from` to `to`, the speed made good towards
// the wind (a tack) or away from it (a gybe) over the 30 s before the turn,
// less the ground the boat made good.
double Sailor::lossOf(const SailedManoeuvre &m, double from, double to) const
{
    const auto at = [this](double t) {
        const auto k = static_cast<std::size_t>(std::clamp(t - plan_.firstTime, 0.0, double(result_.positions.size() - 1)));
        return result_.positions[k];
    };
    // The wind the boat sailed in through the whole of it, not the gust or
    // shift of the moment it turned.
    double x = 0, y = 0;
    for (double t = from; t < to; t += 1) {
        const auto k = static_cast<std::size_t>(std::clamp(t - plan_.firstTime, 0.0, double(twdHistory_.size() - 1)));
        x += std::cos(twdHistory_[k] * kDegree);
        y += std::sin(twdHistory_[k] * kDegree);
    }
    const Vec2 axis = towards(std::atan2(y, x) / kDegree + (m.kind == SailedManoeuvre::Tack ? 0 : 180));
    const double settledUntil = m.time - 10;
    if (settledUntil - from < 10 || to <= m.time)
        return 0;
    const double vmgIn = dot(at(settledUntil) - at(from), axis) / (settledUntil - from);
    return vmgIn * (to - settledUntil) - dot(at(to) - at(settledUntil), axis);
}

}  // namespace

BoatRun sailBoat(const Course &course, const WindField &wind, const BoatPlan &plan, Random noise, double timeLimit)
{
    return Sailor(course, wind, plan, noise).run(timeLimit);
}

}  // namespace keelrun::sim
