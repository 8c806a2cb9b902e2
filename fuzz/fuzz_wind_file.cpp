// Feeds arbitrary bytes to the wind file reader as winddat/wind.csv.

#include <cstdint>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "base/load_error.h"
#include "io/wind_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    static const bool ready = QDir(dir.path()).mkpath("winddat");
    if (!ready)
        return 0;
    QFile f(dir.filePath("winddat/wind.csv"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    f.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    f.close();

    keelrun::RaceState state;
    state.windFile = "wind.csv";
    try {
        keelrun::readWindFile(state, keelrun::DataFolder(dir.path()));
    } catch (const keelrun::LoadError &) {
    }
    return 0;
}
