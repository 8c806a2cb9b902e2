#pragma once
// The live numbers of the boats a coach watches, as a small table over the
// map: a row a boat, its name on its colour, then its place on the water,
// its gap to the leader, the leg it sails and the distance to the next
// mark, its speed and course over ground and its VMG towards the wind.

#include <vector>

#include <QImage>
#include <QStringList>

#include "model/race_state.h"
#include "race/live_numbers.h"
#include "view/captions.h"

namespace keelrun {

// The column heads, units included, in the window's language.
QStringList livePanelHeads(Language language);
// A boat's cells after its name, as the panel shows them.
QStringList livePanelCells(const LiveNumbers &numbers, Language language);

// The table for `rows`; a null picture for none.
QImage drawLivePanel(const RaceState &race, const std::vector<LiveNumbers> &rows, Language language);

}  // namespace keelrun
