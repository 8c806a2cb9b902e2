#pragma once
// One instant of the race: where every boat is, which way it heads and how
// fast it sails, and the wind, interpolated between the recorded fixes.
// The searches start where the previous frame found its segment, so that
// consecutive frames cost a step or two per boat.

#include <vector>

#include "model/race_state.h"

namespace keelrun {

// Two fixes further apart than this are a gap in the track, not a leg.
inline constexpr double kTrackGapSeconds = 3610;

struct BoatInFrame {
    int currentSample = 1;  // time[i] <= now < time[i + 1]
    bool hasPosition = false;
    double lat = 0, lon = 0;  // minutes of arc
    int heading = 0;          // whole degrees 0..359
    double speed = 0;         // knots
    int trueWindAngle = 0;    // -180..180, positive: wind from starboard
};

struct WindInFrame {
    int direction = -1;   // degrees; -1 before the first frame
    double speed = -1;    // knots
    int displayTwd = 0;   // true direction the wind comes from, 0..360
    double smoothedDirection = 0;  // 0: not started
    double smoothedSpeed = 0;
    int lastSegment = 1;
};

struct FrameState {
    std::vector<BoatInFrame> boats;  // [b], b = 1..boatCount
    WindInFrame wind;
    int boatsInPlay = 0;
};

// A fresh state for a newly loaded race.
FrameState newFrameState(const RaceState &race);

// The wind at `now` from the wind records (the race file's mean wind at
// 5 knots without records), and its slowly following smoothed value.
void updateWind(WindInFrame &wind, const RaceState &race, double now);

// Every boat's position, heading, speed and true wind angle at `now`.
void placeBoats(FrameState &frame, const RaceState &race, double now);

}  // namespace keelrun
