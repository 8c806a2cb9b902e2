#include "app/command_line.h"

#include <cstdio>

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include "app/inspect.h"
#include "app/loading_sequence.h"
#include "app/race_catalogue.h"

namespace keelrun {
namespace {

constexpr int kExitError = 2;

void printError(const QString &message) { std::fprintf(stderr, "keelrun: %s\n", qPrintable(message)); }

// The data folder of a race given as a path: the folder above its raceadmin/.
QString dataFolderOfRacePath(const QString &race)
{
    const QFileInfo info(race);
    if (!info.isFile())
        return {};
    QDir dir = info.absoluteDir();
    if (dir.dirName().compare(QStringLiteral("raceadmin"), Qt::CaseInsensitive) != 0 || !dir.cdUp())
        return {};
    return dir.path();
}

int inspect(const QString &race, const QString &dataDir, bool samples, bool corrected, const QString &executableDir)
{
    QString root = dataDir;
    if (root.isEmpty())
        root = dataFolderOfRacePath(race);
    if (root.isEmpty())
        root = defaultDataFolder(executableDir);
    const DataFolder folder(root);

    QString racePath = QFileInfo(race).isFile() ? race : folder.find(QStringLiteral("raceadmin"), race).value_or(QString());
    if (racePath.isEmpty()) {
        printError(QStringLiteral("race file \"%1\" not found (looked in %2)").arg(race, folder.path(QStringLiteral("raceadmin"))));
        return kExitError;
    }

    RaceState state;
    if (corrected) {
        // As if the user had ticked "CT mode" before this load.
        state.raceLoadedOnce = true;
        state.ctModeChosen = true;
    }
    const LoadResult result = loadRace(state, folder, racePath);
    if (!result.ok()) {
        printError(result.message);
        return kExitError;
    }
    const std::string json = inspectJson(state, {samples});
    std::fwrite(json.data(), 1, json.size(), stdout);
    return 0;
}

// Until the window exists, the plain start lists the catalogue and loads the
// first race.
int summarise(const QString &dataDir, const QString &executableDir)
{
    const DataFolder folder(dataDir.isEmpty() ? defaultDataFolder(executableDir) : dataDir);
    const RaceCatalogue catalogue = openCatalogue(folder);
    std::printf("Data folder %s: %lld races\n", qPrintable(folder.root()), static_cast<long long>(catalogue.raceList.size()));
    for (qsizetype i = 0; i < catalogue.raceList.size(); ++i)
        std::printf("%c %s\n", i + 1 == catalogue.raceListIndex ? '*' : ' ', qPrintable(catalogue.raceList[i]));
    RaceState state;
    const LoadResult result = loadRace(state, folder, catalogue.raceFilePath);
    if (!result.ok()) {
        printError(result.message);
        return kExitError;
    }
    std::printf("%s: %s, %d boats\n", qPrintable(state.raceFileName), qPrintable(state.title), state.boatCount);
    for (const QString &warning : state.warnings)
        std::printf("warning: %s\n", qPrintable(warning));
    return 0;
}

}  // namespace

int runCommandLine(const QStringList &arguments, const QString &executableDir)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Keelrun replays and analyses sailing races from GPS tracks."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("The data folder (holding raceadmin/, gpsdat/, ...)."), QStringLiteral("[DIR]"));
    const QCommandLineOption inspectOption(QStringLiteral("inspect"), QStringLiteral("Load RACE without a window and print it as JSON."), QStringLiteral("RACE"));
    const QCommandLineOption samplesOption(QStringLiteral("samples"), QStringLiteral("With --inspect: include every boat's samples."));
    const QCommandLineOption ctOption(QStringLiteral("ct"), QStringLiteral("With --inspect: corrected time."));
    parser.addOptions({inspectOption, samplesOption, ctOption});

    if (!parser.parse(QStringList{QStringLiteral("keelrun")} + arguments)) {
        printError(parser.errorText());
        return kExitError;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(parser.helpText()));
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("keelrun %s\n", KEELRUN_VERSION);
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        printError(QStringLiteral("too many arguments; see keelrun --help"));
        return kExitError;
    }
    const QString dataDir = positional.value(0);
    if (parser.isSet(inspectOption))
        return inspect(parser.value(inspectOption), dataDir, parser.isSet(samplesOption), parser.isSet(ctOption), executableDir);
    return summarise(dataDir, executableDir);
}

}  // namespace keelrun
