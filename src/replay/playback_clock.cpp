#include "replay/playback_clock.h"

#include <cmath>

#include "base/numbers.h"

namespace keelrun {

PlaybackClock startClock(const RaceState &race)
{
    PlaybackClock clock;
    clock.raceClock = race.windowStart;
    clock.previousClock = race.windowStart;
    clock.playSpeed = race.initialPlaySpeed;
    clock.finishAnnounced.assign(race.boatCount + 1, false);
    return clock;
}

bool advance(PlaybackClock &clock, const RaceState &race, int boatsInPlay)
{
    clock.raceClock += clock.playDirection * clock.clockStep;
    if (clock.raceClock < race.windowStart)
        clock.raceClock = race.windowEnd;  // going back past the beginning ends the replay too
    return clock.raceClock >= race.windowEnd || (clock.raceClock > 0 && boatsInPlay == 0);
}

std::vector<int> finishGuns(PlaybackClock &clock, const RaceState &race)
{
    std::vector<int> finishers;
    const int finish = race.courseLength();
    if (finish == 0 || clock.raceClock <= 0.3 * race.windowEnd || clock.raceClock <= race.results.firstPassTime[finish] - 5)
        return finishers;
    for (int b = 1; b <= race.boatCount; ++b) {
        const double f = race.boats[b].roundingTime[finish];
        if (roundHalfEven(f) <= clock.raceClock && f > 0 && !clock.finishAnnounced[b]) {
            clock.finishAnnounced[b] = true;
            ++clock.finishedCount;
            finishers.push_back(b);
        }
    }
    return finishers;
}

bool scoreBoardCleared(PlaybackClock &clock, const RaceState &race)
{
    if (0.3 * race.windowEnd <= clock.raceClock)
        return false;
    clock.finishedCount = 0;
    return true;
}

bool startGun(PlaybackClock &clock)
{
    const bool fired = clock.previousClock < 0 && clock.raceClock >= 0 && clock.raceClock < 60;
    clock.previousClock = clock.raceClock;
    return fired;
}

// Mean speeds of the shown boats that are sailing, upwind and downwind.
void fleetMeans(PlaybackClock &clock, const RaceState &race, const FrameState &frame)
{
    double up = 0, down = 0;
    int ups = 0, downs = 0;
    for (int b = 1; b <= race.boatCount; ++b) {
        const BoatInFrame &place = frame.boats[b];
        if (!place.shown || place.speed <= 0)
            continue;
        if (std::abs(place.trueWindAngle) >= 90) {
            down += place.speed;
            ++downs;
        } else {
            up += place.speed;
            ++ups;
        }
    }
    clock.upwindMeanSpeed = ups ? up / ups : 10000;
    clock.downwindMeanSpeed = downs ? down / downs : 10000;
}

SecondTick secondTick(PlaybackClock &clock, const RaceState &race, const FrameState &frame)
{
    // Slow machines take bigger steps rather than playing slower.
    clock.clockStep = clock.playSpeed / (clock.frameCount < 5 ? 20 : clock.frameCount);
    clock.frameCount = 0;
    clock.blinkCounter = clock.blinkCounter % 3 + 1;
    clock.blinkOn = clock.blinkCounter == 1;

    const int minute = static_cast<int>(clock.raceClock / 60);
    const int finish = race.courseLength();
    if (finish > 0 && clock.raceClock < race.results.firstPassTime[finish])
        clock.finishAnnounced.assign(clock.finishAnnounced.size(), false);
    fleetMeans(clock, race, frame);

    SecondTick tick;
    if (clock.raceClock >= -30 && clock.raceClock < 0)
        ++tick.beeps;
    if (clock.raceClock < 0 && minute != clock.lastBeepMinute) {
        ++tick.beeps;
        clock.lastBeepMinute = minute;
    }
    tick.flagPanel = clock.raceClock <= 0;
    tick.preparatoryFlag = clock.raceClock >= -240 && clock.raceClock < -60;
    return tick;
}

void singleStep(PlaybackClock &clock, const RaceState &race, int direction)
{
    clock.raceClock = roundHalfEven(clock.raceClock + direction);
    if (clock.raceClock > race.windowEnd)
        clock.raceClock = race.windowStart;
    else if (clock.raceClock < race.windowStart)
        clock.raceClock = race.windowEnd;
}

}  // namespace keelrun
