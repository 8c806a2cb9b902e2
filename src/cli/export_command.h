#pragma once
// `keelrun --export-csv`: the performance table of a race, written where
// the window writes it (RACE.csv in the documents folder) or to -o FILE.

#include "cli/command_line.h"

namespace keelrun {

int runExportCsv(const CommandLine &command, const QString &executableDir);

// `keelrun --export-kml`: the whole race (RACE.kml) or, with --at, the
// scene at that time (RACE-HHMM.kml, its time of day), for a globe viewer.
int runExportKml(const CommandLine &command, const QString &executableDir);

// `keelrun --export-manoeuvres`: every boat's tacks and gybes with what each
// cost (RACE-manoeuvres.csv in the documents folder, or -o FILE).
int runExportManoeuvres(const CommandLine &command, const QString &executableDir);

// `keelrun --export-legs`: each boat's legs analysed (RACE-legs.csv in the
// documents folder, or -o FILE).
int runExportLegs(const CommandLine &command, const QString &executableDir);

// `keelrun --export-polars`: the fleet's speeds by wind angle and speed and
// the target speeds (RACE-polars.csv in the documents folder, or -o FILE).
int runExportPolars(const CommandLine &command, const QString &executableDir);

}  // namespace keelrun
