// keelrun-coastline: writes Keelrun's coastline files for an area or a race
// from the GSHHG shorelines, read through GMT (`gmt coast`). See --help.

#include <cstdio>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "base/load_error.h"
#include "coastline_writer.h"
#include "race/coastline.h"
#include "race/loading_sequence.h"

using namespace keelrun;

namespace {

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "keelrun-coastline: %s\n", qPrintable(message));
    std::exit(2);
}

// Three times the race's coastline window each way, so that the coast still
// shows when the map is zoomed out.
coast::Area areaOfRace(const QString &raceFile, const QString &dataDir)
{
    const DataFolder folder(dataDir);
    const QString path = QFileInfo(raceFile).isFile() ? raceFile : folder.path(SubFolder::RaceAdmin, raceFile);
    RaceState race;
    const LoadResult result = loadRace(race, folder, path);
    if (!result.ok())
        fail(result.message);
    const CoastWindow w = coastWindow(race.extent);
    return {w.south - w.size, w.north + w.size, w.west - w.size * 1.25, w.east + w.size * 1.25};
}

QByteArray runGmt(const coast::Area &area, const QString &resolution)
{
    const QString region = QStringLiteral("-R%1/%2/%3/%4")
                               .arg(area.west / 60, 0, 'f', 6)
                               .arg(area.east / 60, 0, 'f', 6)
                               .arg(area.south / 60, 0, 'f', 6)
                               .arg(area.north / 60, 0, 'f', 6);
    QProcess gmt;
    gmt.start(QStringLiteral("gmt"), {QStringLiteral("coast"), region, QStringLiteral("-D") + resolution, QStringLiteral("-W"),
                                      QStringLiteral("-M")});
    if (!gmt.waitForStarted())
        fail(QStringLiteral("cannot run gmt (scripts/install-data-tools installs it): %1").arg(gmt.errorString()));
    gmt.waitForFinished(-1);
    if (gmt.exitStatus() != QProcess::NormalExit || gmt.exitCode() != 0)
        fail(QStringLiteral("gmt coast failed: %1").arg(QString::fromLocal8Bit(gmt.readAllStandardError())));
    return gmt.readAllStandardOutput();
}

// The area widened to the whole grid squares it touches.
coast::Area withSquares(coast::Area area)
{
    for (const QString &square : coast::gridSquares(area)) {
        const auto s = coast::squareArea(square);
        area = {std::min(area.south, s->south), std::max(area.north, s->north), std::min(area.west, s->west),
                std::max(area.east, s->east)};
    }
    return area;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes Keelrun's coastline files into DIR/coastline/ from the GSHHG shorelines, read through GMT: appends the "
        "area's shores the general file toba.cst lacks and, on the Japanese grid, writes the detailed file of each grid square. "
        "A file it did not write is replaced only with --force."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("The data folder."));
    const QCommandLineOption areaOption(QStringLiteral("area"), QStringLiteral("The area: south,north,west,east in degrees."),
                                        QStringLiteral("S,N,W,E"));
    const QCommandLineOption raceOption(QStringLiteral("race"), QStringLiteral("The area of a race file (of DIR/raceadmin/ or a path)."),
                                        QStringLiteral("RACE"));
    const QCommandLineOption resolutionOption(QStringLiteral("resolution"), QStringLiteral("GSHHG's resolution: f, h (default), i, l, c."),
                                              QStringLiteral("R"), QStringLiteral("h"));
    const QCommandLineOption dumpOption(QStringLiteral("gmt-output"), QStringLiteral("Read the shorelines from this `gmt coast -M -W` output instead of running gmt."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption forceOption(QStringLiteral("force"), QStringLiteral("Replace detailed files it did not write."));
    parser.addOptions({areaOption, raceOption, resolutionOption, dumpOption, forceOption});
    parser.process(app);
    if (parser.positionalArguments().size() != 1 || parser.isSet(areaOption) == parser.isSet(raceOption))
        fail(QStringLiteral("give DIR and one of --area or --race; see --help"));
    const QString dataDir = parser.positionalArguments().first();

    coast::Area area;
    if (parser.isSet(raceOption)) {
        area = areaOfRace(parser.value(raceOption), dataDir);
    } else {
        const QStringList parts = parser.value(areaOption).split(QLatin1Char(','));
        bool ok = parts.size() == 4;
        double degrees[4] = {};
        for (int i = 0; ok && i < 4; ++i)
            degrees[i] = parts[i].toDouble(&ok);
        if (!ok || degrees[0] >= degrees[1] || degrees[2] >= degrees[3])
            fail(QStringLiteral("--area needs south,north,west,east in degrees, south below north and west below east"));
        area = {degrees[0] * 60, degrees[1] * 60, degrees[2] * 60, degrees[3] * 60};
    }

    QByteArray dump;
    if (parser.isSet(dumpOption)) {
        QFile file(parser.value(dumpOption));
        if (!file.open(QIODevice::ReadOnly))
            fail(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
        dump = file.readAll();
    } else {
        dump = runGmt(withSquares(area), parser.value(resolutionOption));
    }
    try {
        const QStringList arguments = app.arguments().mid(1);
        const QStringList done = coast::writeCoastlineFiles(QDir(dataDir).filePath(QStringLiteral("coastline")), area,
                                                            coast::parseGmtDump(dump), parser.isSet(forceOption),
                                                            QStringLiteral("keelrun-coastline ") + arguments.join(QLatin1Char(' ')));
        for (const QString &line : done)
            std::printf("%s\n", qPrintable(line));
    } catch (const LoadError &error) {
        fail(error.message());
    }
    return 0;
}
