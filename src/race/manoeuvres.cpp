#include "race/manoeuvres.h"

#include <algorithm>
#include <cmath>

#include "base/numbers.h"
#include "base/parallel.h"
#include "race/plane.h"

namespace keelrun {
namespace {

constexpr double kSettledSeconds = 30;
constexpr double kGapSeconds = 10;
constexpr double kMaxSpread = 20;
constexpr double kMinTurn = 50;
constexpr double kCloseHauled = 80;
constexpr double kRunning = 100;
constexpr double kMarkSeconds = 60;
constexpr double kBackOnCourse = 15;   // degrees: the turn starts and ends here
constexpr double kKnots = 1852.0 / 3600;  // metres a second
constexpr double kDegree = M_PI / 180;

double circularMean(const std::vector<double> &degrees)
{
    double x = 0, y = 0;
    for (double d : degrees) {
        x += std::cos(d * kDegree);
        y += std::sin(d * kDegree);
    }
    const double mean = std::atan2(y, x) / kDegree;
    return mean < 0 ? mean + 360 : mean;
}

// A settled course: its mean heading and speed, when the window has enough
// fixes and they keep within the spread.
struct Course {
    bool settled = false;
    double heading = 0;
    double speed = 0;
};

// Each fix's heading as a unit vector, worked out once a track.
struct HeadingVectors {
    std::vector<double> cos, sin;
    explicit HeadingVectors(const BoatEntry &boat)
    {
        for (const TrackSample &s : boat.samples) {
            cos.push_back(std::cos(s.heading * kDegree));
            sin.push_back(std::sin(s.heading * kDegree));
        }
    }
};

// The fixes in [from, to], looked for outwards from fix `near` (which the
// window lies before, or after), so that the cost is the window's, not the
// track's.
Course settledCourse(const BoatEntry &boat, const HeadingVectors &vectors, int near, double from, double to, int minimumFixes)
{
    int first = near, last = near;
    if (boat.samples[near].time >= to) {
        while (first > 1 && boat.samples[first - 1].time >= from)
            --first;
        while (last >= first && boat.samples[last].time > to)
            --last;
    } else {
        while (last < boat.sampleCount() && boat.samples[last + 1].time <= to)
            ++last;
        while (first <= last && boat.samples[first].time < from)
            ++first;
    }
    Course course;
    if (last - first + 1 < minimumFixes)
        return course;
    double x = 0, y = 0, speed = 0;
    for (int i = first; i <= last; ++i) {
        x += vectors.cos[i];
        y += vectors.sin[i];
        speed += boat.samples[i].speed;
    }
    const double mean = std::atan2(y, x) / kDegree;
    course.heading = mean < 0 ? mean + 360 : mean;
    course.speed = speed / (last - first + 1);
    course.settled = true;
    for (int i = first; i <= last && course.settled; ++i)
        course.settled = std::abs(signedAngle(boat.samples[i].heading - course.heading)) <= kMaxSpread;
    return course;
}

// A quick look before the settled courses are worked out: the headings a
// gap before and after the change must already differ by most of a turn.
// (A boat running dead downwind changes the wind's side at every wobble.)
bool turnsEnough(const BoatEntry &boat, int flip, double before, double after)
{
    int a = flip, b = flip + 1;
    while (a > 1 && boat.samples[a].time > before)
        --a;
    while (b < boat.sampleCount() && boat.samples[b].time < after)
        ++b;
    return std::abs(signedAngle(boat.samples[b].heading - boat.samples[a].heading)) >= kMinTurn - 2 * kMaxSpread;
}

bool nearRounding(const RaceState &race, const BoatEntry &boat, double t)
{
    for (int k = 1; k <= race.courseLength(); ++k) {
        if (passed(boat.roundingTime[k]) && std::abs(boat.roundingTime[k] - t) <= kMarkSeconds)
            return true;
    }
    return false;
}

// Ground made good along `bearing` between two fixes, metres.
double madeGood(const TrackSample &a, const TrackSample &b, double bearing, double cosLat)
{
    const double north = (b.lat - a.lat) * kMetresPerMinute, east = (b.lon - a.lon) * kMetresPerMinute * cosLat;
    return north * std::cos(bearing * kDegree) + east * std::sin(bearing * kDegree);
}

// The turn: from the last fix before `flip` still on the course before to
// the first after it on the course after.
std::pair<int, int> turnEnds(const BoatEntry &boat, int flip, const Course &in, const Course &out)
{
    int first = flip, last = flip + 1;
    while (first > 1 && std::abs(signedAngle(boat.samples[first].heading - in.heading)) > kBackOnCourse)
        --first;
    while (last < boat.sampleCount() && std::abs(signedAngle(boat.samples[last].heading - out.heading)) > kBackOnCourse)
        ++last;
    return {first, last};
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
        return [direction = double(race.windDirection)](double) { return direction; };
    // Records in time order, as wind files are written; between two, the
    // direction turns the short way round.
    return [&race](double t) {
        const auto &w = race.windSamples;
        const int n = race.windSampleCount();
        const auto after = std::upper_bound(w.begin() + 1, w.end(), t, [](double time, const WindSample &x) { return time < x.time; });
        if (after == w.begin() + 1)
            return double(w[1].twd);
        if (after == w.end())
            return double(w[n].twd);
        const WindSample &a = *(after - 1), &b = *after;
        const double f = (t - a.time) / std::max(1.0, b.time - a.time);
        return a.twd + f * signedAngle(b.twd - a.twd);
    };
}

std::vector<Manoeuvre> detectManoeuvres(const RaceState &race, const BoatEntry &boat, const WindDirectionAt &wind)
{
    std::vector<Manoeuvre> found;
    const int n = boat.sampleCount();
    if (n < 6)
        return found;
    const double interval = std::max(1, boat.fixInterval);
    const double window = std::max(kSettledSeconds, 3 * interval), gap = std::max(kGapSeconds, interval);
    const int minimumFixes = interval >= 10 ? 2 : 3;
    const HeadingVectors vectors(boat);
    double quietUntil = -1e18;
    for (int i = 1; i < n - 1; ++i) {
        const TrackSample &a = boat.samples[i], &b = boat.samples[i + 1];
        const double twaA = signedAngle(a.heading - wind(a.time)), twaB = signedAngle(b.heading - wind(b.time));
        if (twaA == 0 || twaB == 0 || (twaA > 0) == (twaB > 0) || b.time < quietUntil)
            continue;
        const double flip = b.time;
        if (!turnsEnough(boat, i, flip - gap, flip + gap))
            continue;
        const Course in = settledCourse(boat, vectors, i, flip - gap - window, flip - gap, minimumFixes);
        const Course out = settledCourse(boat, vectors, i + 1, flip + gap, flip + gap + window, minimumFixes);
        if (!in.settled || !out.settled || std::abs(signedAngle(out.heading - in.heading)) < kMinTurn)
            continue;
        const double twd = wind(flip);
        const double twaIn = signedAngle(in.heading - twd), twaOut = signedAngle(out.heading - twd);
        if ((twaIn > 0) == (twaOut > 0))
            continue;
        Manoeuvre m;
        if (std::abs(twaIn) < kCloseHauled && std::abs(twaOut) < kCloseHauled)
            m.kind = Manoeuvre::Tack;
        else if (std::abs(twaIn) > kRunning && std::abs(twaOut) > kRunning)
            m.kind = Manoeuvre::Gybe;
        else
            continue;
        m.time = flip;
        m.atMark = nearRounding(race, boat, flip);
        m.headingIn = roundHalfEven(in.heading) % 360;
        m.headingOut = roundHalfEven(out.heading) % 360;
        m.speedIn = in.speed;
        m.speedOut = out.speed;
        const auto [first, last] = turnEnds(boat, i, in, out);
        m.duration = boat.samples[last].time - boat.samples[first].time;
        // Upwind the ground counts towards the wind, downwind away from it.
        const double axis = m.kind == Manoeuvre::Tack ? twd : twd + 180;
        const double vmg = in.speed * kKnots * std::cos((m.kind == Manoeuvre::Tack ? std::abs(twaIn) : 180 - std::abs(twaIn)) * kDegree);
        m.lossMetres = vmg * m.duration - madeGood(boat.samples[first], boat.samples[last], axis, race.extent.cosLat);
        m.lossSeconds = vmg > 0.1 ? m.lossMetres / vmg : 0;
        found.push_back(m);
        quietUntil = flip + window;
    }
    return found;
}

std::vector<WindEstimate> estimateWind(const RaceState &race)
{
    struct Reading {
        double time, twd;
    };
    std::vector<Reading> readings;
    for (int b = 1; b <= race.boatCount; ++b) {
        for (const Manoeuvre &m : race.boats[b].manoeuvres) {
            const double bisector = circularMean({double(m.headingIn), double(m.headingOut)});
            readings.push_back({m.time, m.kind == Manoeuvre::Tack ? bisector : std::fmod(bisector + 180, 360)});
        }
    }
    std::vector<WindEstimate> estimate;
    if (readings.empty())
        return estimate;
    for (double t = std::ceil(race.windowStart / 60) * 60; t <= race.windowEnd; t += 60) {
        std::vector<double> near;
        for (const Reading &r : readings) {
            if (std::abs(r.time - t) <= 300)
                near.push_back(r.twd);
        }
        if (near.empty()) {
            const auto closest = std::min_element(readings.begin(), readings.end(), [&](const Reading &x, const Reading &y) {
                return std::abs(x.time - t) < std::abs(y.time - t);
            });
            near.push_back(closest->twd);
        }
        estimate.push_back({t, roundHalfEven(circularMean(near)) % 360});
    }
    return estimate;
}

WindDirectionAt analysisWind(const RaceState &race)
{
    if (race.windSampleCount() > 0 || race.estimatedWind.empty())
        return raceWind(race);
    return [&estimate = race.estimatedWind](double t) {
        const auto at = std::lower_bound(estimate.begin(), estimate.end(), t,
                                         [](const WindEstimate &e, double time) { return e.time < time; });
        return double(at == estimate.end() ? estimate.back().twd : at->twd);
    };
}

void findManoeuvres(RaceState &race)
{
    const auto detectAll = [&race](const WindDirectionAt &wind) {
        parallelFor(1, race.boatCount, [&](int b) { race.boats[b].manoeuvres = detectManoeuvres(race, race.boats[b], wind); });
    };
    race.estimatedWind.clear();
    detectAll(raceWind(race));
    race.estimatedWind = estimateWind(race);
    if (race.windSampleCount() == 0 && !race.estimatedWind.empty()) {
        detectAll(analysisWind(race));  // against the first pass's estimate
        race.estimatedWind = estimateWind(race);
    }
}

}  // namespace keelrun
