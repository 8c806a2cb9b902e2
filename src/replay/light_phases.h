#pragma once
// The navigation lights as they flash during the replay. A light of period P
// with n flashes is lit in the first n seconds of each period; a light of two
// colours shows its second colour at mid-period. The lights are staggered by
// their place in the list so that they do not flash in step. Between two
// light seconds each lit light's ring grows from nothing to half its range.

#include <vector>

#include "model/race_state.h"

namespace keelrun {

struct LightPhase {
    Rgb colour{255, 255, 255};
    int state = 0;  // 0 dark; lit otherwise
    bool lit() const { return state != 0; }
};

struct LightClock {
    int lightTick = 0;            // light seconds since start-up
    double secondFraction = 0;    // seconds into the current light second
    std::vector<LightPhase> phases;  // [i], i = 1..light count (slot 0 unused)
};

// The next light second: every light's phase and colour.
void advanceLights(LightClock &clock, const std::vector<Light> &lights);

// The lights as they stand `lightTick` seconds after start-up, halfway
// through that second: for a picture of a moment.
LightClock lightsAt(int lightTick, const std::vector<Light> &lights);

}  // namespace keelrun
