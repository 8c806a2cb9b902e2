#include "cli/export_command.h"

#include <cstdio>

#include <QDir>

#include <QLocale>

#include "export/documents.h"
#include "export/kml.h"
#include "export/leg_table.h"
#include "export/manoeuvre_table.h"
#include "export/performance_table.h"
#include "export/polar_table.h"

namespace keelrun {

namespace {

// Writes the document to -o FILE or to the documents folder, named after
// the race with `ending`, and says where.
int save(const CommandLine &command, const RaceState &race, const QString &ending, const QByteArray &bytes)
{
    const QString path = command.output.isEmpty() ? documentPathFor(race, ending) : command.output;
    const QString error = saveDocument(path, bytes);
    if (!error.isEmpty()) {
        printError(error);
        return kExitError;
    }
    std::printf("%s\n", qPrintable(path));
    return 0;
}

// Loads the race the command names and writes one of its tables for a
// spreadsheet.
int saveTable(const CommandLine &command, const QString &executableDir, const QString &ending, QString (*table)(const RaceState &))
{
    RaceState race;
    if (!loadCommandRace(command, executableDir, race))
        return kExitError;
    return save(command, race, ending, spreadsheetText(table(race)));
}

}  // namespace

int runExportCsv(const CommandLine &command, const QString &executableDir)
{
    return saveTable(command, executableDir, QStringLiteral(".csv"), performanceTable);
}

int runExportManoeuvres(const CommandLine &command, const QString &executableDir)
{
    return saveTable(command, executableDir, QStringLiteral("-manoeuvres.csv"), manoeuvreTable);
}

int runExportLegs(const CommandLine &command, const QString &executableDir)
{
    return saveTable(command, executableDir, QStringLiteral("-legs.csv"), legTable);
}

int runExportPolars(const CommandLine &command, const QString &executableDir)
{
    return saveTable(command, executableDir, QStringLiteral("-polars.csv"), polarTable);
}

int runExportKml(const CommandLine &command, const QString &executableDir)
{
    const auto resolved = resolveCommandRace(command, executableDir);
    if (!resolved)
        return kExitError;
    RaceState race;
    const LoadResult result = loadRace(race, resolved->first, resolved->second);
    printLoadResult(result);
    if (!result.ok())
        return kExitError;
    KmlOptions options;
    options.iconFolder = QDir(resolved->first.path(SubFolder::KmlIcons)).absolutePath() + QLatin1Char('/');
    options.hideUnfocused = command.hideUnfocused;
    options.japanese = QLocale::system().language() == QLocale::Japanese;
    if (!command.sceneAt)
        return save(command, race, QStringLiteral(".kml"), raceKml(race, options).toUtf8());
    FrameState frame = newFrameState(race);
    FrameRequest request;
    request.now = command.sceneAt->raceClock(race);
    computeFrame(frame, race, request);
    return save(command, race, sceneKmlEnding(race, request.now), sceneKml(race, frame, options).toUtf8());
}

}  // namespace keelrun
