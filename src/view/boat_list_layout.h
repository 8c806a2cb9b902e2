#pragma once
// Where the boat list puts its check boxes: one per boat in two columns, in
// the boat's colour, and with classes one per class with its boats grouped
// under it.

#include <vector>

#include <QPoint>

#include "model/race_state.h"

namespace keelrun {

inline constexpr int kListBoxWidth = 120;
inline constexpr int kListBoxHeight = 13;  // rows are 14 pixels apart

struct BoatListLayout {
    QPoint header;                   // Label1
    std::vector<QPoint> classBoxes;  // [c], c = 1..classCount (slot 0 unused)
    std::vector<QPoint> boatBoxes;   // [b], b = 1..boatCount (slot 0 unused)
    int panelHeight = 0;             // the height the list needs
};

BoatListLayout layoutBoatList(const RaceState &race);

}  // namespace keelrun
