#pragma once
// The loading sequence: turns a race file and its tracks into a filled
// RaceState. The same sequence runs for the first race, SHOW, AutoNext and a
// change between elapsed and corrected time. It needs no window: the window
// shows its progress and its outcome.

#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

#include "io/data_folder.h"
#include "model/race_state.h"

namespace keelrun {

struct LoadProgress {
    QString status;  // the splash status line
    int done = 0;    // boats read so far
    int total = 0;   // boats to read
};

// How the loading sequence reaches the window: progress for the splash, and
// the beeps that mark the end of long stages.
struct LoadListener {
    std::function<void(const LoadProgress &)> progress;
    std::function<void()> beep;
};

struct LoadResult {
    enum Outcome { Loaded, NoBoats, Failed };
    Outcome outcome = Loaded;
    QString message;      // for NoBoats and Failed: what to tell the user
    QStringList warnings; // what the user should know, gathered up to the end or the failure

    bool ok() const { return outcome == Loaded; }
};

// The failure of a race without boats: no BN line, or none whose track
// file is there. A race whose boats' tracks all give too few fixes says
// why for each.
inline const QString kNoBoatsMessage = QStringLiteral("GPS file not exists.");

// A boat whose track has fewer fixes than this in the race window is left out.
inline constexpr int kMinimumFixes = 15;

// Loads the race file `raceFilePath` into `state`. The state is reset first;
// after a failure it holds no race (nothing half-read is presented).
// How the user wants the race: elapsed or corrected time as chosen, or,
// with no choice yet, as the race file's CT line says.
struct LoadOptions {
    std::optional<bool> corrected;
};

LoadResult loadRace(RaceState &state, const DataFolder &folder, const QString &raceFilePath,
                    const LoadListener &listener = {}, const LoadOptions &options = {});

}  // namespace keelrun
