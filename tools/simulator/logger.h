#pragma once
// The GPS logger on board: samples the boat's position every few seconds,
// or several times a second, on its own clock, with the small wandering
// error of a consumer GPS.

#include <cstdint>
#include <vector>

#include "boat_sim.h"
#include "geometry.h"
#include "random.h"

namespace keelrun::sim {

struct Fix {
    std::int64_t time = 0;  // Unix seconds on the logger's clock
    double lat = 0;         // degrees, south negative
    double lon = 0;         // degrees, west negative
    double elevation = 0;   // metres above the sea (the antenna)
    int millisecond = 0;    // 0..999: the fraction of a second after `time`
};

struct LoggerPlan {
    double interval = 1;        // seconds between fixes, to the millisecond
    double phase = 0;           // fixes at race seconds t with (t - phase) a multiple of the interval
    int clockOffset = 0;        // seconds to add to the logger's times to get UTC
    double noise = 2.5;         // metres, standard deviation per axis
    int maxFixesAfterGun = -1;  // a logger that gives up early: keeps this many fixes from the gun on
    double gapFrom = 0, gapTo = 0;  // race seconds without fixes (switched off)
    double overlapAt = 0;           // race seconds: the fixes of the 30 s before are logged again here (0: none)
};

// Milliseconds since 1970-01-01 UTC on the logger's clock.
inline std::int64_t unixMilliseconds(const Fix &f) { return f.time * 1000 + f.millisecond; }
// Whether any fix falls between whole seconds: a log written several times a second.
bool betweenSeconds(const std::vector<Fix> &fixes);
// What a logger that is also the crew's start timer records besides its
// fixes (the Vakaros Atlas): the countdown set, started and synced, its zero,
// the end of the race, and the ends of the start line pinged as the boat
// went by them. Times are Unix milliseconds on the logger's clock.
struct StartLog {
    enum class TimerEvent { Reset = 0, Started = 1, Synced = 2, RaceStart = 3, RaceEnd = 4 };
    struct TimerRow {
        std::int64_t time = 0;
        TimerEvent event = TimerEvent::Reset;
        int timerSeconds = 0;  // to go before the zero, then since it
    };
    enum class LineEnd { Pin = 0, Boat = 1 };  // the port end looking upwind, and the committee boat
    struct Ping {
        std::int64_t time = 0;
        LineEnd end = LineEnd::Pin;
        GeoDegrees at;
    };
    std::vector<TimerRow> timer;  // in time order
    std::vector<Ping> pings;      // in time order; a later ping of an end replaces an earlier
};

std::vector<Fix> recordFixes(const BoatRun &run, const LocalPlane &plane, std::int64_t gunUtc,
                             const LoggerPlan &plan, Random noise);

}  // namespace keelrun::sim
