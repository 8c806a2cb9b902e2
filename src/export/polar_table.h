#pragma once
// The fleet's polars for a spreadsheet: a row per bin of true wind angle
// (and band of wind speed) that holds steady fixes.

#include <QString>

#include "model/race_state.h"

namespace keelrun {

// "twa from,twa to,tws from,tws to,fixes,target kn" and a row per bin, by
// band, then angle; "-" for the band without wind speeds, and for the
// target of a bin with too few fixes.
QString polarTable(const RaceState &race);

}  // namespace keelrun
