// Feeds arbitrary bytes to the race file reader as raceadmin/race.txt.

#include <cstdint>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "io/data_folder.h"
#include "base/load_error.h"
#include "io/race_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    static const bool ready = [] {
        QDir(dir.path()).mkpath("raceadmin");
        QDir(dir.path()).mkpath("gpsdat");
        QFile track(dir.filePath("gpsdat/a.gpx"));
        return track.open(QIODevice::WriteOnly);
    }();
    if (!ready)
        return 0;
    const QString path = dir.filePath("raceadmin/race.txt");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    f.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    f.close();

    keelrun::RaceState state;
    state.raceFilePath = path;
    try {
        keelrun::readRaceFile(state, keelrun::DataFolder(dir.path()));
    } catch (const keelrun::LoadError &) {
    }
    return 0;
}
