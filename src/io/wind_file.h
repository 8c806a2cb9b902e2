#pragma once
// Wind data files in winddat/: a header line, then one true-wind record a
// line: local date and time, wind speed (knots), wind direction (degrees).
//   DATE TIME, TWS,TWD
//   2009/05/03 11:05:00,8.5,205

#include <QString>

#include "io/data_folder.h"
#include "model/race_state.h"

namespace keelrun {

// Reads the file state.windFile names into state.windSamples and
// maxWindSpeed. A missing file empties windFile. Throws LoadError for a
// record that does not convert.
void readWindFile(RaceState &state, const DataFolder &folder);

// Writes the wind records, sorted by time, as "<race file name>_wind.csv"
// and sets windFile. Wind speeds are written as 0: the records the organiser
// makes by clicking carry a direction only. The file is replaced whole or
// not at all; returns an error message, empty on success.
QString writeWindFile(RaceState &state, const DataFolder &folder);
// The name writeWindFile gives the race's wind file: "race01_wind.csv".
QString windFileNameFor(const RaceState &state);

}  // namespace keelrun
