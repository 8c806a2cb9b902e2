// Inputs that once stopped a fuzz target (a crash, a hang, undefined
// behaviour). Each must now read or be refused with LoadError.

#include <gtest/gtest.h>

#include <functional>

#include <QDir>
#include <QFile>

#include "base/load_error.h"
#include "io/coastline_file.h"
#include "io/jpeg_picture.h"
#include "io/race_file.h"
#include "io/tracks/track_reader.h"
#include "io/wind_file.h"
#include "test_folder.h"

namespace keelrun {
namespace {

// Calls `read` with the bytes of every input kept for the target `folder`.
void replay(const char *folder, const std::function<void(const QByteArray &)> &read)
{
    const QDir dir(QStringLiteral(KEELRUN_FUZZ_REGRESSIONS "/") + folder);
    for (const QString &name : dir.entryList(QDir::Files)) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        SCOPED_TRACE(name.toStdString());
        try {
            read(f.readAll());
        } catch (const LoadError &) {
        }
    }
}

std::function<void(const QByteArray &)> trackReader(TrackDecoder decode)
{
    return [decode](const QByteArray &bytes) {
        RaceState race;
        race.startTimeUtc = makeDateTime(2009, 5, 3, 2, 0, 0);
        FixSink sink(race, race.boats[1]);
        decode(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), {"fuzz", race.raceDate}, sink);
    };
}

TEST(FuzzRegressions, TrackReadersSurviveEarlierFindings)
{
    replay("gpx", trackReader(readGpx));
    replay("trb", trackReader(readTrb));
    replay("trl", trackReader(readTrl));
    replay("gdb", trackReader(readGdb));
    replay("mps", trackReader(readMps));
    replay("hemispheretext", trackReader(readHemisphereText));
    replay("nmea", trackReader(readNmea));
    replay("vkx", trackReader(readVkx));
}

TEST(FuzzRegressions, RaceWindAndPictureReadersSurviveEarlierFindings)
{
    test::TestFolder t;
    t.write("gpsdat/a.gpx", "");
    replay("race_file", [&](const QByteArray &bytes) {
        RaceState state;
        state.raceFilePath = t.write("raceadmin/race.txt", bytes);
        readRaceFile(state, t.folder());
    });
    replay("wind_file", [&](const QByteArray &bytes) {
        t.write("winddat/wind.csv", bytes);
        RaceState state;
        state.windFile = QStringLiteral("wind.csv");
        readWindFile(state, t.folder());
    });
    replay("jpeg", [](const QByteArray &bytes) {
        decodeJpeg(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    });
}

TEST(FuzzRegressions, CoastlineReadersSurviveEarlierFindings)
{
    const auto text = [](const QByteArray &bytes) { return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())); };
    std::vector<CoastPoint> points;
    std::vector<Light> lights;
    replay("coast_general", [&](const QByteArray &bytes) { readGeneralCoastline(text(bytes), "toba.cst", points); });
    replay("coast_detailed", [&](const QByteArray &bytes) {
        readDetailedCoastline(text(bytes), "5135.cst", {40, 2040, 2080, 8100, 8160}, {0.2, -0.2}, points);
    });
    replay("coast_lights", [&](const QByteArray &bytes) { readLightList(text(bytes), "toba.lh", lights); });
}

}  // namespace
}  // namespace keelrun
