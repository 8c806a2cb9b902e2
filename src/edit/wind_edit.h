#pragma once
// Drawing the wind by hand on the Graph page: a click on the direction graph
// makes a wind record at the time and direction under the pointer, and three
// markers follow the pointer: the close-hauled headings either side of a
// wind from there (45 degrees off) and the run (180 degrees off).

#include <optional>

#include <QPoint>

#include "model/race_state.h"

namespace keelrun {

// The record a click at `at` makes, on a page `mapWidth` wide in a window
// `clientHeight` high; nothing left or right of the direction graph.
std::optional<WindSample> windRecordAt(const RaceState &race, QPoint at, int mapWidth, int clientHeight);

// The markers' left edges for a pointer at x, and their top.
struct WindMarkers {
    int closeHauledLeft = 0, closeHauledRight = 0, downwind = 0;
    int top = 0;
};
WindMarkers windMarkers(QPoint pointer, int mapWidth);

}  // namespace keelrun
