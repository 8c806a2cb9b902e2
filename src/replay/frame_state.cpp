#include "replay/frame_state.h"

#include <algorithm>
#include <cmath>

#include "base/numbers.h"
#include "race/plane.h"

namespace keelrun {
namespace {

int wrapTo360(int degrees)
{
    if (degrees < 0)
        degrees += 360;
    if (degrees > 360)
        degrees -= 360;
    return degrees;
}

// The segment [i, i + 1] of the wind records holding `now`, searched from
// the last one used and wrapping round once.
void interpolateWind(WindInFrame &wind, const RaceState &race, double now)
{
    const auto &w = race.windSamples;
    const int n = race.windSampleCount();
    if (now <= w[1].time) {
        wind.direction = w[1].twd;
        wind.speed = w[1].tws;
        return;
    }
    if (now >= w[n].time) {
        wind.direction = w[n].twd;
        wind.speed = w[n].tws;
        return;
    }
    int i = std::clamp(wind.lastSegment, 1, n - 1);
    for (int tries = 0; tries < n; ++tries, i = i % (n - 1) + 1) {
        if (w[i].time <= now && now < w[i + 1].time)
            break;
    }
    wind.lastSegment = i;
    const double f = (now - w[i].time) / (w[i + 1].time - w[i].time);
    const double turn = signedAngle(w[i + 1].twd - w[i].twd);
    wind.direction = wrapTo360(roundHalfEven(w[i].twd + turn * f));
    wind.speed = w[i].tws + (w[i + 1].tws - w[i].tws) * f;
}

// Whether `now` falls in segment i of the track.
bool inSegment(const std::vector<TrackSample> &s, int i, double now) { return s[i].time <= now && now < s[i + 1].time; }

// The heading turns from the previous fix's to this fix's over the first
// second after a fix, the short way round, or over the whole segment where
// the next fix comes sooner.
int headingAt(const std::vector<TrackSample> &s, int i, double now)
{
    const double since = now - s[i].time, turnSeconds = std::min(1.0, s[i + 1].time - s[i].time);
    if (since >= turnSeconds || i == 1)  // the first fix has no earlier heading to turn from
        return static_cast<int>(s[i].heading);
    const double turn = signedAngle(s[i].heading - s[i - 1].heading);
    double h = s[i - 1].heading + since / turnSeconds * turn;
    if (h < 0)
        h += 360;
    if (h >= 360)
        h -= 360;
    return roundHalfEven(h) % 360;
}

// The segment of the track holding `now`, 0 when none does. Playing on, it
// is the last frame's or one of the next few; after a jump the track, in
// time order as loaded, is searched by halves; a track out of order (none
// that was loaded) is walked round once.
int segmentHolding(const std::vector<TrackSample> &s, int n, int last, double now)
{
    constexpr int kPlayingOn = 8;
    int i = std::clamp(last, 1, n - 1);
    for (int step = 0; step < kPlayingOn && i < n; ++step, ++i) {
        if (inSegment(s, i, now))
            return i;
    }
    const auto after = std::upper_bound(s.begin() + 1, s.begin() + n + 1, now,
                                        [](double t, const TrackSample &x) { return t < x.time; });
    i = static_cast<int>(after - s.begin()) - 1;
    if (i >= 1 && i < n && inSegment(s, i, now))
        return i;
    for (int tries = 0; tries < n - 1; ++tries, i = i % (n - 1) + 1) {
        if (i >= 1 && i < n && inSegment(s, i, now))
            return i;
    }
    return 0;
}

void placeBoat(BoatInFrame &b, const BoatEntry &boat, double now, int displayTwd)
{
    const auto &s = boat.samples;
    const int n = boat.sampleCount();
    b.hasPosition = false;
    if (n < 2 || now < s[1].time || now >= s[n].time)
        return;
    const int i = segmentHolding(s, n, b.currentSample, now);
    if (i == 0)
        return;
    b.currentSample = i;
    if (gapBetween(s[i], s[i + 1]))
        return;
    b.hasPosition = true;
    const double f = s[i + 1].time > s[i].time ? (now - s[i].time) / (s[i + 1].time - s[i].time) : 0;
    b.lat = s[i].lat + f * (s[i + 1].lat - s[i].lat);
    b.lon = s[i].lon + f * (s[i + 1].lon - s[i].lon);
    b.heading = headingAt(s, i, now);
    b.speed = s[i].speed;
    b.trueWindAngle = static_cast<int>(signedAngle(displayTwd - b.heading));
}

}  // namespace

FrameState newFrameState(const RaceState &race)
{
    FrameState frame;
    frame.boats.resize(race.boatCount + 1);
    return frame;
}

void updateWind(WindInFrame &wind, const RaceState &race, double now)
{
    if (race.windSampleCount() > 0)
        interpolateWind(wind, race, now);
    if (wind.speed > 0)
        wind.speed = std::round(wind.speed * 10) / 10;
    if (wind.direction < 0)
        wind.direction = race.windDirectionValue;
    if (wind.speed < 0)
        wind.speed = 5.0;
    wind.displayTwd = wrapTo360(roundHalfEven(race.magneticVariation) + wind.direction);

    // The smoothed wind follows the wind of the moment by 5 % a frame.
    if (wind.smoothedDirection == 0)
        wind.smoothedDirection = wind.direction;
    if (wind.smoothedSpeed == 0)
        wind.smoothedSpeed = wind.speed;
    wind.smoothedDirection = 0.95 * wind.smoothedDirection + 0.05 * wind.direction;
    if (wind.smoothedDirection > 360)
        wind.smoothedDirection -= 360;
    wind.smoothedSpeed = 0.95 * wind.smoothedSpeed + 0.05 * wind.speed;
}

void placeBoats(FrameState &frame, const RaceState &race, double now)
{
    frame.boatsInPlay = 0;
    for (int b = 1; b <= race.boatCount; ++b) {
        placeBoat(frame.boats[b], race.boats[b], now, frame.wind.displayTwd);
        frame.boatsInPlay += frame.boats[b].hasPosition ? 1 : 0;
    }
}

void computeFrame(FrameState &frame, const RaceState &race, const FrameRequest &request)
{
    frame.now = request.now;
    updateWind(frame.wind, race, request.now);
    placeBoats(frame, race, request.now);

    FitRequest fit;
    fit.now = request.now;
    fit.autoTrace = request.autoTrace;
    fit.northUp = request.northUp;
    fit.zoomDivisor = request.zoomDivisor;
    fit.mapSize = request.mapSize;
    bool anyTicked = false;
    for (int b = 1; b <= race.boatCount; ++b) {
        BoatInFrame &place = frame.boats[b];
        place.shown = request.shown.empty() ? race.boats[b].shown == 1 : bool(request.shown[b]);
        if (!place.hasPosition)
            continue;
        fit.boats.push_back({b, {place.lat, place.lon}, place.shown});
        anyTicked = anyTicked || place.shown;
    }
    frame.view = fitView(fit, race);
    frame.tickAll = !fit.boats.empty() && !anyTicked;
}

}  // namespace keelrun
