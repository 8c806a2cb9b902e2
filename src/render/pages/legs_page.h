#pragma once
// The Legs page: the debrief table of each ticked boat's legs. A block of
// rows a boat, under its name on its colour, one row a leg: the leg and its
// kind, the time it took, the leg's length over the distance sailed, the
// speed made good along the leg, the tacks and gybes and the seconds they
// cost, the place at the leg's end and the places won or lost, and the
// share of the fleet's target speed.
//
// The page takes the largest font at which every block fits its height,
// with the blocks in tables side by side where one table would run off the
// page; a fleet too big even for the smallest font loses the blocks that
// find no room.

#include <memory>
#include <vector>

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include "race/leg_analysis.h"
#include "render/pages/race_page.h"

namespace keelrun {

struct LegsCell {
    QRect rect;
    QString text;
    QColor ink;
    QColor fill;  // invalid: the page's white shows through
    Qt::Alignment alignment = Qt::AlignRight;
};

struct LegsBlock {
    int boat = 0;
    QRect rect;  // its name row and its leg rows
};

struct LegsTable {
    int fontPixels = 10;
    std::vector<LegsCell> cells;   // the title, the column heads, the names and the legs' figures
    std::vector<LegsBlock> blocks; // the ticked boats that found room, in the order of the boat list

    QFont font() const;
};

// The table on a page of `size`, from the legs as analyseLegs gives them.
LegsTable layOutLegsTable(QSize size, const RaceState &race, const std::vector<ItemTable<LegResult>> &legs,
                          const PageRequest &request);

std::unique_ptr<RacePage> makeLegsPage();

}  // namespace keelrun
