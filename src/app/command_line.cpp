#include "app/command_line.h"

#include <cstdio>

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include "app/inspect.h"
#include "app/loading_sequence.h"

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

}  // namespace

bool wantsWindow(const QStringList &arguments)
{
    for (const QString &a : arguments) {
        if (a == QLatin1String("--inspect") || a.startsWith(QLatin1String("--inspect=")) || a == QLatin1String("-h") ||
            a.startsWith(QLatin1String("--help")) || a == QLatin1String("-v") || a == QLatin1String("--version"))
            return false;
    }
    return true;
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Keelrun replays and analyses sailing races from GPS tracks."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("The data folder (holding raceadmin/, gpsdat/, ...)."), QStringLiteral("[DIR]"));
    const QCommandLineOption raceOption(QStringLiteral("race"), QStringLiteral("Show the race file NAME of raceadmin/ first."), QStringLiteral("NAME"));
    const QCommandLineOption inspectOption(QStringLiteral("inspect"), QStringLiteral("Load RACE without a window and print it as JSON."), QStringLiteral("RACE"));
    const QCommandLineOption samplesOption(QStringLiteral("samples"), QStringLiteral("With --inspect: include every boat's samples."));
    const QCommandLineOption ctOption(QStringLiteral("ct"), QStringLiteral("With --inspect: corrected time."));
    parser.addOptions({raceOption, inspectOption, samplesOption, ctOption});

    CommandLine command;
    command.mode = CommandLine::Done;
    if (!parser.parse(QStringList{QStringLiteral("keelrun")} + arguments)) {
        printError(parser.errorText());
        command.exitCode = kExitError;
        return command;
    }
    if (parser.isSet(help)) {
        std::printf("%s", qPrintable(parser.helpText()));
        return command;
    }
    if (parser.isSet(version)) {
        std::printf("keelrun %s\n", KEELRUN_VERSION);
        return command;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        printError(QStringLiteral("too many arguments; see keelrun --help"));
        command.exitCode = kExitError;
        return command;
    }
    command.dataDir = positional.value(0);
    command.mode = parser.isSet(inspectOption) ? CommandLine::Inspect : CommandLine::Window;
    command.race = parser.isSet(inspectOption) ? parser.value(inspectOption) : parser.value(raceOption);
    command.samples = parser.isSet(samplesOption);
    command.corrected = parser.isSet(ctOption);
    return command;
}

int runInspect(const CommandLine &command, const QString &executableDir)
{
    QString root = command.dataDir;
    if (root.isEmpty())
        root = dataFolderOfRacePath(command.race);
    if (root.isEmpty())
        root = defaultDataFolder(executableDir);
    const DataFolder folder(root);

    const QString &race = command.race;
    const QString racePath = QFileInfo(race).isFile() ? race : folder.find(QStringLiteral("raceadmin"), race).value_or(QString());
    if (racePath.isEmpty()) {
        printError(QStringLiteral("race file \"%1\" not found (looked in %2)").arg(race, folder.path(QStringLiteral("raceadmin"))));
        return kExitError;
    }

    RaceState state;
    if (command.corrected) {
        // As if the user had ticked "CT mode" before this load.
        state.raceLoadedOnce = true;
        state.ctModeChosen = true;
    }
    const LoadResult result = loadRace(state, folder, racePath);
    if (!result.ok()) {
        printError(result.message);
        return kExitError;
    }
    const std::string json = inspectJson(state, {command.samples});
    std::fwrite(json.data(), 1, json.size(), stdout);
    return 0;
}

}  // namespace keelrun
