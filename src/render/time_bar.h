#pragma once
// The time bar: a vertical strip beside the map with the whole replay
// window laid out from its end at the top to its start at the bottom. The
// strip shows where boat 1 sailed upwind (white) or downwind (grey-blue) and
// a red mark at the gun; behind it day and night run from pale yellow to
// dark blue; a red START button sits at the foot. A red pointer, placed by
// the window, marks the race clock.

#include <QImage>
#include <QRect>
#include <QSize>

#include "model/race_state.h"

namespace keelrun {

// Where the parts go in a panel of the given size.
struct TimeBarGeometry {
    QSize panel;
    QRect strip;           // the zone strip: left 11, top 29, 30 wide, panel height - 60 high
    QRect startButton;     // the START button at the foot
    int pointerLeft = 1;   // the pointer: 48 x 3
    QSize pointerSize{48, 3};

    explicit TimeBarGeometry(QSize panelSize);
    int stripHeight() const { return strip.height(); }
};

// The race-clock time of a row of the strip (0 at its top), ties to even.
double timeAtStripRow(int row, int stripHeight, const RaceState &race);
// The strip row where the zones of a time begin.
int stripRowOfTime(double t, int stripHeight, const RaceState &race);
// The pointer's top in panel pixels for a race-clock time.
int pointerTop(double raceClock, int stripHeight, const RaceState &race);
// The time a click on strip row `row` sets: below the window its start, at
// or past its end 100 s before the end.
double clickedTime(int row, int stripHeight, const RaceState &race);
// Whether a click at panel row `y` falls on the START button.
bool onStartButton(int y, QSize panel);

// The whole panel picture: day and night, the strip with boat 1's zones and
// the gun, the START button.
QImage drawTimeBar(const RaceState &race, QSize panel);

}  // namespace keelrun
