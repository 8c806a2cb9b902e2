#include "app/loading_sequence.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include "io/load_error.h"
#include "io/race_file.h"
#include "model/boat_colours.h"
#include "playback/play_speed.h"

namespace keelrun {
namespace {

constexpr int kMaxRaceFileNameLength = 50;

// Elapsed or corrected time: the race file's CT tag decides on the first load
// of the program run, the user's choice afterwards. Without handicaps there
// is no choice to make.
void applyTimeMode(RaceState &state)
{
    if (state.handicapsPresent && state.raceLoadedOnce)
        state.ctMode = state.ctModeChosen ? 1 : 0;
}

LoadResult runStages(RaceState &state, const DataFolder &folder, const QString &raceFilePath,
                     const ProgressCallback &progress)
{
    state.coverPresent = QFile::exists(folder.path(QStringLiteral("raceadmin"), QStringLiteral("cover.jpg")));
    state.raceFilePath = raceFilePath;
    if (progress)
        progress({QStringLiteral("READING  ") + QFileInfo(raceFilePath).fileName(), 0, 0});

    readRaceFile(state, folder);
    applyTimeMode(state);
    state.raceFileName = QFileInfo(raceFilePath).fileName().left(kMaxRaceFileNameLength);
    if (state.boatCount < 1)
        return {LoadResult::NoBoats, kNoBoatsMessage};

    state.loadStartedAt = fromQDateTime(QDateTime::currentDateTime());
    assignBoatColours(state);

    LoadResult result;
    result.speedSliderPosition = speedSliderPosition(state.initialPlaySpeed);
    state.raceLoadedOnce = true;
    return result;
}

}  // namespace

LoadResult loadRace(RaceState &state, const DataFolder &folder, const QString &raceFilePath,
                    const ProgressCallback &progress)
{
    state.resetForNewRace();
    try {
        return runStages(state, folder, raceFilePath, progress);
    } catch (const LoadError &error) {
        state.resetForNewRace();
        return {LoadResult::Failed, error.message()};
    }
}

}  // namespace keelrun
