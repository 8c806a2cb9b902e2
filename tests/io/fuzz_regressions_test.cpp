// Inputs that once crashed a reader under the fuzzer. Each must now read or
// be refused with LoadError.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "base/load_error.h"
#include "io/tracks/track_reader.h"

namespace keelrun {
namespace {

void readAllIn(const char *folder, TrackDecoder decode)
{
    const QDir dir(QStringLiteral(KEELRUN_FUZZ_REGRESSIONS "/") + folder);
    for (const QString &name : dir.entryList(QDir::Files)) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        RaceState race;
        race.startTimeUtc = makeDateTime(2009, 5, 3, 2, 0, 0);
        FixSink sink(race, race.boats[1]);
        try {
            decode(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), {name, race.raceDate}, sink);
        } catch (const LoadError &) {
        }
    }
}

TEST(FuzzRegressions, ReadersSurviveEarlierCrashes)
{
    readAllIn("gpx", readGpx);
    readAllIn("trb", readTrb);
    readAllIn("trl", readTrl);
    readAllIn("gdb", readGdb);
    readAllIn("mps", readMps);
    readAllIn("hemispheretext", readHemisphereText);
    readAllIn("nmea", readNmea);
}

}  // namespace
}  // namespace keelrun
