#pragma once
// The legs table: a row per boat and leg with the leg analysis's figures,
// for a spreadsheet.

#include <QString>

#include "model/race_state.h"

namespace keelrun {

// "boat,leg,kind,time s,sailed m,length m,efficiency,vmg kn,tacks,gybes,
// manoeuvre loss s,place,places gained,target share" and a row per boat and
// leg, boats in race-file order; "-" where a figure is not known.
QString legTable(const RaceState &race);

}  // namespace keelrun
