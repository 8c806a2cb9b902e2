#include "io/tracks/track_reader.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QFile>

#include "base/load_error.h"
#include "base/numbers.h"
#include "io/tracks/track_bytes.h"

namespace keelrun {
namespace {

struct NamedFormat {
    const char *extension;
    TrackFormat format;
};

const std::array<NamedFormat, 8> kFormats{{
    {"gpx", {readGpx, 100, false}},
    {"trb", {readTrb, 100, false}},
    {"gdb", {readGdb, 50, true}},
    {"mps", {readMps, 50, true}},
    {"trl", {readTrl, 50, true}},
    {"dtr", {readHemisphereText, 100, false}},
    {"trk", {readHemisphereText, 100, false}},
    {"log", {readNmea, 100, false}},
}};

constexpr int kDefaultFixInterval = 30;

// Mean spacing of the fixes, leaving out five at each end where loggers
// often stutter.
int measuredFixInterval(const BoatEntry &boat, int threshold)
{
    const int n = boat.sampleCount();
    if (n <= threshold)
        return kDefaultFixInterval;
    return roundHalfEven((boat.samples[n - 5].time - boat.samples[5].time) / (n - 10));
}

// Corrected time: the race clock after the gun runs at the boat's handicap.
void applyHandicap(BoatEntry &boat)
{
    for (int i = 1; i <= boat.sampleCount(); ++i) {
        TrackSample &s = boat.samples[i];
        if (s.time > 0)
            s.time = roundHalfEven(boat.handicap * s.time);
    }
}

// Boat n's entry moves to `slot` with an empty track.
BoatEntry &prepareSlot(RaceState &race, int n, int slot)
{
    BoatEntry &entry = race.boats[slot];
    if (slot != n)
        entry = std::move(race.boats[n]);
    entry.samples.assign(1, TrackSample{});
    entry.fixInterval = 0;
    return entry;
}

}  // namespace

const TrackFormat *trackFormatFor(const QString &trackFile)
{
    const QString extension = trackFile.right(3).toLower();
    const auto it = std::find_if(kFormats.begin(), kFormats.end(),
                                 [&](const NamedFormat &f) { return extension == QLatin1String(f.extension); });
    return it == kFormats.end() ? nullptr : &it->format;
}

TrackReadResult readTrack(RaceState &race, const DataFolder &folder, int n)
{
    BoatEntry &boat = prepareSlot(race, n, n - race.droppedBoats);
    const TrackFormat *format = trackFormatFor(boat.trackFile);
    if (!format)
        return {false, QStringLiteral("track files ending .%1 are not known").arg(boat.trackFile.right(3))};
    const auto path = folder.find(SubFolder::Tracks, boat.trackFile);
    if (!path)
        return {false, QStringLiteral("the track file is missing")};
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return {false, file.errorString()};
    const QByteArray bytes = file.readAll();

    FixSink sink(race, boat);
    const TrackContext context{subFolderName(SubFolder::Tracks) + QLatin1Char('/') + boat.trackFile, race.raceDate};
    format->decode(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), context, sink);
    if (sink.skipped() > 0)
        race.warnings << QStringLiteral("%1: %2 track points without a readable time were skipped").arg(context.fileName).arg(sink.skipped());

    boat.fixInterval = measuredFixInterval(boat, format->fixIntervalThreshold);
    if (race.ctMode > 0 && boat.sampleCount() > 100 && boat.handicap > 0)
        applyHandicap(boat);
    return {format->beepsWhenDone, {}};
}

}  // namespace keelrun
