#include "view/boat_list_layout.h"

#include "base/numbers.h"

namespace keelrun {
namespace {

constexpr int kRow = 14;
constexpr int kLeftColumn = 5;
constexpr int kRightColumn = 132;

// Two columns, the first holding the first half of the boats.
void placeInTwoColumns(const RaceState &race, BoatListLayout &l)
{
    const int rows = roundHalfEven((race.boatCount + 0.6) / 2);
    const int top = race.classesEnabled ? race.classCount * kRow + 10 : 0;  // under the class boxes
    for (int c = 1; c <= race.classCount; ++c)
        l.classBoxes[c] = QPoint(80, c * kRow - 8);
    l.header = QPoint(0, top);
    for (int b = 1; b <= race.boatCount; ++b)
        l.boatBoxes[b] = b <= rows ? QPoint(kLeftColumn, b * kRow + top) : QPoint(kRightColumn, (b - rows) * kRow + top);
    l.panelHeight = rows * kRow + top + 20;
}

// Each class box, then its boats two to a row; boats of no class keep
// their place from the two columns.
void groupByClass(const RaceState &race, BoatListLayout &l)
{
    l.header = QPoint(9, 0);
    int y = 0;
    for (int c = 1; c <= race.classCount; ++c) {
        y += 21;
        l.classBoxes[c] = QPoint(kLeftColumn, y);
        int inClass = 0;
        for (int b = 1; b <= race.boatCount; ++b) {
            if (race.boats[b].classIndex != c)
                continue;
            if (inClass++ % 2 == 0) {
                y += kRow;
                l.boatBoxes[b] = QPoint(kLeftColumn, y);
            } else {
                l.boatBoxes[b] = QPoint(kRightColumn, y);
            }
        }
    }
    l.panelHeight = y + 20;
}

}  // namespace

BoatListLayout layoutBoatList(const RaceState &race)
{
    BoatListLayout l;
    l.classBoxes.resize(race.classCount + 1);
    l.boatBoxes.resize(race.boatCount + 1);
    placeInTwoColumns(race, l);
    if (race.classCount > 0)
        groupByClass(race, l);
    return l;
}

}  // namespace keelrun
