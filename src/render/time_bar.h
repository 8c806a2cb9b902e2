#pragma once
// The time bar: a vertical strip beside the map with the whole replay
// window laid out from its end at the top to its start at the bottom. The
// strip shows where boat 1 sailed upwind (white) or downwind (grey-blue), a
// red mark at the gun, the race clock's ticks ("0:10", "0:20", ...), the
// leader's rounding of each course item with its name and the highlighted
// boat's roundings in its colour; behind it day and night run from pale
// yellow to dark blue; a red START button sits at the foot. A red pointer,
// placed by the window, marks the race clock.

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

// The race clock's tick step on a strip `stripHeight` rows high: the
// shortest of 1, 2, 5, 10, 15, 20 and 30 minutes and 1, 2 and 4 hours that
// keeps the ticks' labels apart.
double clockTickStep(double windowLength, int stripHeight);
// A tick's label: hours and minutes from the gun, "0:10", "1:05".
QString clockTickText(double raceClock);

// The whole panel picture: day and night, the strip with boat 1's zones,
// the gun, the clock's ticks, the leader's roundings and `highlighted`'s
// (0: none), the START button.
QImage drawTimeBar(const RaceState &race, QSize panel, int highlighted = 0);

}  // namespace keelrun
