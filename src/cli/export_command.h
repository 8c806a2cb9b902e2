#pragma once
// `keelrun --export-csv`: the performance table of a race, written where
// the window writes it (the documents folder) or to -o FILE.

#include "cli/command_line.h"

namespace keelrun {

int runExportCsv(const CommandLine &command, const QString &executableDir);

}  // namespace keelrun
