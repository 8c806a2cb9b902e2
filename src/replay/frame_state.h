#pragma once
// One instant of the race: where every boat is, which way it heads and how
// fast it sails, the wind, and the view that frames them, interpolated
// between the recorded fixes. Computing a frame draws nothing: pages, boards
// and exports ask it where the boats are, and the renderer draws it.
// The searches start where the previous frame found its segment, so that
// consecutive frames cost a step or two per boat.

#include <vector>

#include <QSize>

#include "model/race_state.h"
#include "view/map_view.h"

namespace keelrun {

struct BoatInFrame {
    int currentSample = 1;  // time[i] <= now < time[i + 1]
    bool hasPosition = false;
    double lat = 0, lon = 0;  // minutes of arc
    int heading = 0;          // whole degrees 0..359
    double speed = 0;         // knots
    int trueWindAngle = 0;    // -180..180, positive: wind from starboard
    bool shown = true;        // ticked in the boat list
};

struct WindInFrame {
    int direction = -1;   // degrees; -1 before the first frame
    double speed = -1;    // knots
    int displayTwd = 0;   // true direction the wind comes from, 0..360
    double smoothedDirection = 0;  // 0: not started
    double smoothedSpeed = 0;
    int lastSegment = 1;
};

// What the frame at one instant is asked for.
struct FrameRequest {
    double now = 0;          // race clock
    bool autoTrace = true;   // follow the fleet; else frame the race extent
    bool northUp = true;
    double zoomDivisor = 1;  // from the ZOOM slider
    QSize mapSize{1, 1};
    std::vector<bool> shown;  // [b]: ticked in the boat list; empty: as the race file says
};

struct FrameState {
    double now = 0;                  // the race clock the frame was computed for
    std::vector<BoatInFrame> boats;  // [b], b = 1..boatCount
    WindInFrame wind;
    int boatsInPlay = 0;
    MapView view;
    bool tickAll = false;  // boats are in play but none is ticked: tick them all
};

// A fresh state for a newly loaded race.
FrameState newFrameState(const RaceState &race);

// The wind at `now` from the wind records (the race file's mean wind at
// 5 knots without records), and its slowly following smoothed value.
void updateWind(WindInFrame &wind, const RaceState &race, double now);

// Every boat's position, heading, speed and true wind angle at `now`.
void placeBoats(FrameState &frame, const RaceState &race, double now);

// The whole frame: the wind, every boat, and the view that frames the
// ticked boats (boatsInPlay 0: no boat in play, the replay has ended).
void computeFrame(FrameState &frame, const RaceState &race, const FrameRequest &request);

}  // namespace keelrun
