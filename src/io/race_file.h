#pragma once
// The race definition file: a tagged, comma-separated text file in
// raceadmin/ that names the boats and their track files, classes, handicaps,
// marks, lines, the course, the time frame and display defaults.

#include "io/data_folder.h"
#include "model/race_state.h"

namespace keelrun {

// Reads the file at state.raceFilePath into a state reset for a new race.
// A missing file reads nothing (no boats). Entries beyond a table's capacity
// are refused with one warning per kind in state.warnings. Throws LoadError
// for a number or date that does not convert.
void readRaceFile(RaceState &state, const DataFolder &folder);

}  // namespace keelrun
