#pragma once
// The fleet's tacks and gybes as a spreadsheet: one row a manoeuvre.

#include <QString>

#include "model/race_state.h"

namespace keelrun {

// "boat,time,kind,at mark,heading in,heading out,speed in,speed out,
// duration,loss m,loss s" and a row a manoeuvre, boats in race-file order.
QString manoeuvreTable(const RaceState &race);

}  // namespace keelrun
