#pragma once
// `keelrun --check RACE [DIR]`: the organiser's look at a race before it is
// published. The race is loaded as the window loads it, and printed as plain
// text: every warning, then for each boat its fixes, when it passed each
// course item (or which it missed, or that it was over early) and its
// finish rank.

#include <QString>

#include "cli/command_line.h"

namespace keelrun {

// The report for a loaded race, one line a warning and a few a boat.
QString checkReport(const RaceState &race, const QStringList &warnings);

// Exit 0 when the race loads cleanly, 1 when it loads with warnings, 2 when
// it cannot be loaded.
int runCheck(const CommandLine &command, const QString &executableDir);

}  // namespace keelrun
