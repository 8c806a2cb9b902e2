#pragma once
// The SPEED slider: play speeds from 1 to 1500 times real time on a scale of
// four slider steps per unit, ten and hundred.

namespace keelrun {

// Slider position for a play speed: speeds up to 10 in steps of 1, up to 90
// in steps of 10, above in steps of 100.
int speedSliderPosition(double playSpeed);

}  // namespace keelrun
