#include "race/loading_sequence.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

#include <QDateTime>
#include <QFileInfo>

#include "base/load_error.h"
#include "base/parallel.h"
#include "io/jpeg_picture.h"
#include "io/race_file.h"
#include "io/tracks/track_reader.h"
#include "io/wind_file.h"
#include "race/boat_colours.h"
#include "race/daylight.h"
#include "race/fleet_speeds.h"
#include "race/coastline.h"
#include "race/legs.h"
#include "race/manoeuvres.h"
#include "race/race_extent.h"
#include "race/roundings.h"
#include "race/track_derivation.h"

namespace keelrun {
namespace {

constexpr int kMaxRaceFileNameLength = 50;

// Elapsed or corrected time: the user's choice, else the race file's CT
// line. Without handicaps there is no choice to make.
void applyTimeMode(RaceState &state, const LoadOptions &options)
{
    if (state.handicapsPresent && options.corrected)
        state.ctMode = *options.corrected ? 1 : 0;
}

void report(const LoadListener &listener, const LoadProgress &progress)
{
    if (listener.progress)
        listener.progress(progress);
}

// The tracks as read: the blocks of each boat's fixes, worked out by its
// reader while they are in its cache, and why each boat left out was left
// out.
struct ReadTracks {
    std::vector<std::vector<FixBlock>> blocks;
    QStringList leftOut;
};

// Reads every boat's track, several at once (a reader a processor), and
// puts them into their slots in race-file order, so that the race is the same
// as when read one after another. Boats with too few fixes are dropped and
// the boats after them move up a slot.
ReadTracks readTracks(RaceState &state, const DataFolder &folder, const LoadListener &listener)
{
    const int total = state.boatCount;
    std::vector<BoatEntry> entries(state.boats.begin(), state.boats.begin() + total + 1);
    // A boat's track and its blocks, or what went wrong reading it.
    struct Slot {
        std::optional<DecodedTrack> track;
        std::vector<FixBlock> blocks;
        std::exception_ptr error;
    };
    // The readers see only the race's time frame, which stays as it is
    // while the boats below are filled in.
    const RaceState &timeFrame = state;
    const auto read = [&](int n) {
        try {
            DecodedTrack track = decodeTrack(timeFrame, folder, std::move(entries[n]));
            std::vector<FixBlock> blocks = fixBlocks(track.boat);
            return Slot{std::move(track), std::move(blocks), nullptr};
        } catch (...) {
            return Slot{std::nullopt, {}, std::current_exception()};
        }
    };
    ReadTracks tracks;
    tracks.blocks.resize(total + 1);
    state.droppedBoats = 0;
    produceInOrder(1, total, read, [&](int n, Slot slot) {
        const QString trackFile = state.boats[n].trackFile;
        report(listener, {QStringLiteral("LOADING  %1  (%2/%3)").arg(trackFile).arg(n).arg(total), n, total});
        if (slot.error)
            std::rethrow_exception(slot.error);
        DecodedTrack &track = *slot.track;
        if (track.result.beep && listener.beep)
            listener.beep();
        state.warnings << track.warnings;
        BoatEntry &boat = state.boats[n - state.droppedBoats];
        boat = std::move(track.boat);
        tracks.blocks[n - state.droppedBoats] = std::move(slot.blocks);
        if (boat.sampleCount() < kMinimumFixes) {
            const QString why = track.result.problem.isEmpty() ? QStringLiteral("%1 fixes in the race window").arg(boat.sampleCount())
                                                               : track.result.problem;
            tracks.leftOut << QStringLiteral("%1 (%2): %3; the boat is left out").arg(boat.name, trackFile, why);
            state.warnings << tracks.leftOut.back();
            ++state.droppedBoats;
        }
    });
    state.boatCount -= state.droppedBoats;
    for (int slot = state.boatCount + 1; slot <= total; ++slot)
        state.boats[slot] = BoatEntry{};
    return tracks;
}

// Each boat's speeds, courses and leg distances, then its tacks and gybes,
// on one thread while its track is in the cache; then what the fleet's
// tracks give together.
void deriveTracksAndManoeuvres(RaceState &state, const LoadListener &listener)
{
    std::vector<double> topSpeeds(state.boatCount + 1, 0.0);
    findManoeuvres(state, [&](int b) {
        topSpeeds[b] = deriveBoatTrack(state.boats[b], state.courseLength(), state.extent.cosLat);
    });
    state.topSpeed = *std::max_element(topSpeeds.begin(), topSpeeds.end());
    state.usualSpeeds = usualSpeedsOf(state);
    if (listener.beep)
        listener.beep();
    buildLegTables(state);
}

LoadResult runStages(RaceState &state, const DataFolder &folder, const QString &raceFilePath,
                     const LoadListener &listener, const LoadOptions &options)
{
    state.coverPresent = readJpegFile(folder.coverPicture()).has_value();  // a cover that does not decode is none
    state.raceFilePath = raceFilePath;
    report(listener, {QStringLiteral("READING  ") + QFileInfo(raceFilePath).fileName(), 0, 0});

    readRaceFile(state, folder);
    applyTimeMode(state, options);
    state.raceFileName = QFileInfo(raceFilePath).fileName().left(kMaxRaceFileNameLength);
    if (state.boatCount < 1)
        return {LoadResult::NoBoats, kNoBoatsMessage, {}};

    readWindFile(state, folder);
    const ReadTracks tracks = readTracks(state, folder, listener);
    if (state.boatCount < 1)
        return {LoadResult::NoBoats, QStringLiteral("No boat has a usable track:\n") + tracks.leftOut.join(QLatin1Char('\n')), {}};
    checkCourse(state);
    detectRoundings(state);
    assignBoatColours(state);
    state.extent = computeRaceExtent(state, tracks.blocks);
    state.daylight = computeDaylight(state, state.extent);
    loadCoastline(state, folder);
    deriveTracksAndManoeuvres(state, listener);
    return {};
}

}  // namespace

LoadResult loadRace(RaceState &state, const DataFolder &folder, const QString &raceFilePath,
                    const LoadListener &listener, const LoadOptions &options)
{
    state = {};
    LoadResult result;
    try {
        result = runStages(state, folder, raceFilePath, listener, options);
    } catch (const LoadError &error) {
        result = {LoadResult::Failed, error.message(), {}};
    } catch (const std::exception &error) {  // out of memory on an absurd file, say
        result = {LoadResult::Failed, QStringLiteral("%1: %2").arg(QFileInfo(raceFilePath).fileName(), QString::fromLocal8Bit(error.what())), {}};
    }
    result.warnings = state.warnings;
    if (result.outcome == LoadResult::Failed)
        state = {};
    return result;
}

}  // namespace keelrun
