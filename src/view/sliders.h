#pragma once
// The window's two sliders. SPEED (0..136) sets play speeds from 1 to 1500
// times real time, four slider steps a unit, ten and hundred. ZOOM (0..100)
// divides the fitted view's scale.

namespace keelrun {

// The play speed at a SPEED position: 1..10, 10..100 and 100..1500.
double playSpeedForSlider(int position);

// Slider position for a play speed: speeds up to 10 in steps of 1, up to 90
// in steps of 10, above in steps of 100.
int speedSliderPosition(double playSpeed);

// The zoom slider (0..100): the right end shows the fitted view, the left
// end ten times the area.
double zoomDivisorForSlider(int position);
// The zoom slider position that shows `divisor` (the right end for 1 and
// less, the left end for 10 and more).
int zoomSliderPosition(double divisor);

}  // namespace keelrun
