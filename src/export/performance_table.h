#pragma once
// The performance table: a coach's debrief of the race as comma-separated
// text (CR LF lines) for a spreadsheet. Per boat and per leg the times, the
// positions at each mark, the course and sailed distances, the speeds, the
// upwind and downwind summary with VMC (speed made good along the course),
// and every figure's difference from the best boat. In corrected time every
// time, and so every speed, is corrected by the handicap, and the first line
// says so.

#include <string>

#include <QString>

#include "model/race_state.h"

namespace keelrun {

// The cell formats of the table.
QString wholeCell(double value);              // rounded, ties to even
QString signedWholeCell(double value);        // with "+" above 0
QString fourDecimalCell(double value);        // 12.3 -> 12.3000, 1/3 -> 0.3333 (cut, not rounded), 2 -> 2
QString signedFourDecimalCell(double value);  // with "+" above 0
QString fiveCharacterCell(double value);      // the first 5 characters of the shortest text
QString degreesCell(double value);            // the shortest text cut before its decimal point
QString plainCell(double value);              // the shortest text, up to 15 significant digits

// Leg j's name: "ST->MK1", "MK1->MK2", ...
QString legName(const RaceState &race, int leg);

// The whole table. Every boat is listed, ticked in the boat list or not.
QString performanceTable(const RaceState &race);

}  // namespace keelrun
