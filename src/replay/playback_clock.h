#pragma once
// The race clock of the replay and what moves it: the playback tick every
// 50 ms, the once-a-second housekeeping that keeps the playback speed
// independent of the frame rate, single steps, and the guns.

#include <vector>

#include "replay/frame_state.h"
#include "model/race_state.h"

namespace keelrun {

inline constexpr int kTickMs = 50;

struct PlaybackClock {
    double raceClock = 0;
    double previousClock = 0;
    int playDirection = 1;      // +1 forward, -1 backward
    double playSpeed = 5;       // race seconds per wall-clock second
    double clockStep = 0.03;    // race seconds per tick
    int frameCount = 0;         // frames drawn since the last second tick
    std::vector<bool> finishAnnounced;  // [b]: the boat's finish gun has fired in this pass
    int finishedCount = 0;
    int blinkCounter = 0;
    bool blinkOn = false;
    int lastBeepMinute = 1;
    double upwindMeanSpeed = 10000;
    double downwindMeanSpeed = 10000;
};

// The clock at the start of a loaded race.
PlaybackClock startClock(const RaceState &race);

// Moves the clock one tick. True when the replay has reached its end (or
// gone back past its beginning, or no boat is left in play after the
// start): the caller hands over to the next race or rewinds.
bool advance(PlaybackClock &clock, const RaceState &race, int boatsInPlay);

// After a frame: the boats whose finish gun fires now, each once a pass.
std::vector<int> finishGuns(PlaybackClock &clock, const RaceState &race);
// Early in the race the finish board is empty.
bool scoreBoardCleared(PlaybackClock &clock, const RaceState &race);
// At the end of every tick: true when the clock crossed the gun forward.
bool startGun(PlaybackClock &clock);

struct SecondTick {
    int beeps = 0;            // start-sequence beeps
    bool flagPanel = false;   // the start flags show until the gun
    bool preparatoryFlag = false;  // blue peter, from 4 minutes to 1 minute before the gun
};
// Once a second: speed regulation, blinking, re-arming the finish guns,
// the fleet's mean speeds, and the start sequence.
SecondTick secondTick(PlaybackClock &clock, const RaceState &race, const FrameState &frame);

// One whole second forward (+1) or back (-1), wrapping at the window's ends.
void singleStep(PlaybackClock &clock, const RaceState &race, int direction);

}  // namespace keelrun
