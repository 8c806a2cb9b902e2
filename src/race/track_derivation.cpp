#include "race/track_derivation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "base/numbers.h"
#include "race/plane.h"

namespace keelrun {
namespace {

constexpr int kMinimumSamples = 6;
// A GPS glitch: a fix the track runs out to and straight back from, the
// detour over three times the direct way between its neighbours and more
// than 50 m longer. A boat turning on the spot, or GPS noise, is neither.
constexpr double kGlitchDetour = 3;
constexpr double kGlitchMetres = 50;
constexpr double kKnotsPerMetrePerSecond = 3.6 / 1.852;

struct Displacement {
    double north = 0, east = 0;  // metres
};

Displacement between(double lat1, double lon1, double lat2, double lon2, double cosLat)
{
    return {(lat2 - lat1) * kMetresPerMinute, (lon2 - lon1) * kMetresPerMinute * cosLat};
}

double metres(const TrackSample &a, const TrackSample &b, double cosLat)
{
    const Displacement d = between(a.lat, a.lon, b.lat, b.lon, cosLat);
    return std::hypot(d.north, d.east);
}

// Metres from each fix to the next: [i] from fix i to fix i + 1.
// A segment across a gap in the track has no known length: NaN, so that any
// distance summed over it is not known either.
std::vector<double> segmentMetres(const BoatEntry &boat, double cosLat)
{
    const int n = boat.sampleCount();
    const auto &s = boat.samples;
    std::vector<double> segment(n + 1, 0.0);
    for (int i = 1; i < n; ++i)
        segment[i] = gapBetween(s[i], s[i + 1]) ? std::numeric_limits<double>::quiet_NaN() : metres(s[i], s[i + 1], cosLat);
    return segment;
}

// A logger writing more often than this has fixes a few decimetres apart,
// where the wander of the GPS would swamp the boat's own course and speed:
// its courses and speeds are taken over at least this long for each segment
// they would span, as a logger writing once a second more than gives them.
constexpr double kSecondsPerSegment = 0.5;

// The last fix of the piece of track that fix `first` is on: the fix before
// the next gap, or the track's last.
int pieceEnd(const std::vector<double> &segment, int first, int n)
{
    int last = first;
    while (last < n && !std::isnan(segment[last]))
        ++last;
    return last;
}

// Metres sailed from the first fix to each fix, gaps counted as nothing:
// [i] at fix i. The path along a stretch within a piece of the track is the
// difference of its ends' entries, however many segments it spans.
std::vector<double> metresAlong(const std::vector<double> &segment, int n)
{
    std::vector<double> along(n + 1, 0.0);
    for (int i = 2; i <= n; ++i)
        along[i] = along[i - 1] + (std::isnan(segment[i - 1]) ? 0 : segment[i - 1]);
    return along;
}

// Each sample's course to the next fix, and its speed over the path from
// the fix before it to the fix after the next, three segments where the
// track has them, each widened along the track to the seconds above. A
// track is taken piece by piece between its gaps: nothing is known of the
// boat's course or speed across one. The last fix of a piece, having no
// next, keeps the course and speed it was sailing.
// Three segments are added up as they are, which leaves a speed as exact
// at the end of a long race as at its start; the widened stretches of a
// fast logger, a dozen segments and more, are taken from the metres sailed
// along the track, as adding them up afresh for every fix would cost far
// more than the rest.
void deriveSpeedsAndHeadings(BoatEntry &boat, const std::vector<double> &segment, double cosLat)
{
    const int n = boat.sampleCount();
    auto &s = boat.samples;
    const double perSegment = boat.fixInterval < kSecondsPerSegment ? kSecondsPerSegment : 0;
    const std::vector<double> along = perSegment > 0 ? metresAlong(segment, n) : std::vector<double>{};
    int pieceStart = 1, last = pieceEnd(segment, 1, n);
    for (int j = 1; j <= n; ++j) {
        if (j > last) {
            pieceStart = j;
            last = pieceEnd(segment, j, n);
        }
        if (j == last) {
            if (j > pieceStart) {
                s[j].heading = s[j - 1].heading;
                s[j].speed = s[j - 1].speed;
            }
            continue;
        }
        int ahead = j + 1;
        while (ahead < last && s[ahead].time - s[j].time < perSegment)
            ++ahead;
        const Displacement d = between(s[j].lat, s[j].lon, s[ahead].lat, s[ahead].lon, cosLat);
        if (d.north == 0 && d.east == 0 && j > pieceStart)
            s[j].heading = s[j - 1].heading;  // standing still keeps the last course
        else
            s[j].heading = wholeDegreeBearing(d.east, d.north);

        int a = std::max(j - 1, pieceStart), b = std::min(j + 2, last);
        const double wanted = (b - a) * perSegment;
        while (s[b].time - s[a].time < wanted && (a > pieceStart || b < last)) {
            if (b < last)
                ++b;
            if (s[b].time - s[a].time < wanted && a > pieceStart)
                --a;
        }
        double path = 0;
        if (perSegment > 0) {
            path = along[b] - along[a];
        } else {
            for (int i = a; i < b; ++i)
                path += segment[i];
        }
        const double seconds = s[b].time - s[a].time;
        s[j].speed = seconds > 0 ? path / seconds * kKnotsPerMetrePerSecond : 0;
    }
}

// The position at race time t between samples k and k + 1.
TrackSample interpolated(const TrackSample &a, const TrackSample &b, double t)
{
    const double span = b.time - a.time;
    const double f = span == 0 ? 0 : (t - a.time) / span;
    return {t, a.lat + f * (b.lat - a.lat), a.lon + f * (b.lon - a.lon), 0, 0};
}

// The segment that race time t falls in, from fix `first` on: the first k
// with fix k at or before t and fix k + 1 after it; 0 when there is none.
// Tracks in time order, nearly all, are searched by halves; any other is
// walked.
int segmentAt(const BoatEntry &boat, bool ordered, int first, double t)
{
    const auto &s = boat.samples;
    const int n = boat.sampleCount();
    if (ordered) {
        const auto after = std::upper_bound(s.begin() + first, s.begin() + n + 1, t,
                                            [](double time, const TrackSample &x) { return time < x.time; });
        const int k = static_cast<int>(after - s.begin()) - 1;
        return k >= first && k < n ? k : 0;
    }
    for (int k = first; k < n; ++k) {
        if (s[k].time <= t && t < s[k + 1].time)
            return k;
    }
    return 0;
}

// Distance sailed between race times `from` and `to`, with the pieces of
// the segments the two times fall in; 0 (not known) when the track has a
// gap between them.
double sailedBetween(const BoatEntry &boat, bool ordered, const std::vector<double> &segment, double from, double to,
                     double cosLat)
{
    const int n = boat.sampleCount();
    const auto &s = boat.samples;
    double total = 0;
    int first = 1;
    if (const int k = segmentAt(boat, ordered, 1, from)) {
        total += std::isnan(segment[k]) ? segment[k] : metres(interpolated(s[k], s[k + 1], from), s[k + 1], cosLat);
        first = k + 1;
    }
    int last = n;
    if (const int m = segmentAt(boat, ordered, first, to)) {
        total += std::isnan(segment[m]) ? segment[m] : metres(s[m], interpolated(s[m], s[m + 1], to), cosLat);
        last = m;
    }
    for (int i = first; i < last; ++i)
        total += segment[i];
    return std::isnan(total) ? 0 : total;
}

// The replay of a boat ends a minute after it finished: what it sailed
// afterwards would only clutter the map.
void cutAfterFinish(BoatEntry &boat, int courseLength)
{
    if (courseLength <= 1)
        return;
    const double finishedAt = boat.roundingTime[courseLength];
    if (!passed(finishedAt))
        return;
    int keep = boat.sampleCount();
    while (keep > 0 && boat.samples[keep].time >= finishedAt + 60)
        --keep;
    boat.samples.resize(keep + 1);
}

// A finisher's distance sailed on each leg, from its rounding times; the
// last entry is the whole race from the gun. Other boats get zeros.
void measureSailedLegs(BoatEntry &boat, int courseLength, const SailedDistance &sailed)
{
    boat.legDistance = {};
    if (courseLength == 0 || !passed(boat.roundingTime[courseLength]))
        return;
    for (int leg = 1; leg <= courseLength; ++leg) {
        const bool whole = leg == courseLength;
        const double from = whole || leg == 1 ? 0 : boat.roundingTime[leg];
        const double to = whole ? boat.roundingTime[courseLength] : boat.roundingTime[leg + 1];
        if (!whole && (!passed(boat.roundingTime[leg]) || !passed(boat.roundingTime[leg + 1])))
            continue;
        boat.legDistance[leg] = sailed.between(from, to);
    }
}

bool isGlitch(const BoatEntry &boat, const std::vector<double> &segment, int p, double cosLat)
{
    const double detour = segment[p - 1] + segment[p];  // NaN next to a gap: no glitch
    if (!(detour > kGlitchMetres))
        return false;
    const double direct = metres(boat.samples[p - 1], boat.samples[p + 1], cosLat);
    return detour > kGlitchDetour * direct && detour - direct > kGlitchMetres;
}

// The boat's fastest speed, leaving out the speeds a glitch took part in:
// each spans the segments from the fix before to the fix after the next.
double topSpeedOf(const BoatEntry &boat, const std::vector<double> &segment, double cosLat)
{
    const int n = boat.sampleCount();
    double top = 0;
    int cleanFrom = 1;  // the first sample whose speed no glitch has touched
    for (int p = 2; p < n; ++p) {
        if (isGlitch(boat, segment, p, cosLat)) {
            for (int j = cleanFrom; j <= p - 3; ++j)
                top = std::max(top, boat.samples[j].speed);
            cleanFrom = std::max(cleanFrom, p + 2);
        }
    }
    for (int j = cleanFrom; j <= n; ++j)
        top = std::max(top, boat.samples[j].speed);
    return top;
}

}  // namespace

int placedAfter(const BoatEntry &boat, double t)
{
    const auto &s = boat.samples;
    const int last = boat.sampleCount() - 1;  // the last segment's first fix, not searched
    if (last < 2 || t < s[1].time || t >= s[last].time)
        return 0;
    const auto after = std::upper_bound(s.begin() + 1, s.begin() + last + 1, t,
                                        [](double time, const TrackSample &x) { return time < x.time; });
    const int j = static_cast<int>(after - s.begin()) - 1;
    return gapBetween(s[j], s[j + 1]) ? 0 : j;
}

double deriveBoatTrack(BoatEntry &boat, int courseLength, double cosLat)
{
    const std::vector<double> segment = segmentMetres(boat, cosLat);
    double topSpeed = 0;
    if (boat.sampleCount() >= kMinimumSamples) {
        deriveSpeedsAndHeadings(boat, segment, cosLat);
        topSpeed = topSpeedOf(boat, segment, cosLat);
    }
    cutAfterFinish(boat, courseLength);
    // On the segments measured for the speeds, which may run past the cut.
    measureSailedLegs(boat, courseLength, SailedDistance(boat, cosLat, segment));
    return topSpeed;
}

std::optional<TrackPlace> placeOnTrack(const BoatEntry &boat, double t)
{
    const auto &s = boat.samples;
    const int n = boat.sampleCount();
    if (n == 0 || !(t >= s[1].time && t <= s[n].time))
        return std::nullopt;
    if (n == 1)
        return TrackPlace{1, 0};
    const auto after = std::upper_bound(s.begin() + 2, s.begin() + n, t, [](double time, const TrackSample &x) { return time < x.time; });
    const int k = static_cast<int>(after - s.begin()) - 1;
    if (gapBetween(s[k], s[k + 1]))
        return std::nullopt;
    return TrackPlace{k, s[k + 1].time > s[k].time ? (t - s[k].time) / (s[k + 1].time - s[k].time) : 0};
}

std::optional<TrackSample> sampleAt(const BoatEntry &boat, double t)
{
    const auto place = placeOnTrack(boat, t);
    if (!place)
        return std::nullopt;
    const auto &s = boat.samples;
    return TrackSample{t, place->mix([&](int i) { return s[i].lat; }), place->mix([&](int i) { return s[i].lon; }),
                       place->mix([&](int i) { return s[i].speed; }), s[place->fix].heading};
}

SailedDistance::SailedDistance(const BoatEntry &boat, double cosLat) : SailedDistance(boat, cosLat, segmentMetres(boat, cosLat)) {}

SailedDistance::SailedDistance(const BoatEntry &boat, double cosLat, std::vector<double> segments)
    : boat_(boat), cosLat_(cosLat), ordered_(inTimeOrder(boat.samples.begin() + 1, boat.samples.end())), segments_(std::move(segments))
{
}

double SailedDistance::between(double from, double to) const { return sailedBetween(boat_, ordered_, segments_, from, to, cosLat_); }

}  // namespace keelrun
