#include "cli/command_line.h"

#include <algorithm>
#include <cstdio>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "cli/inspect.h"
#include "race/loading_sequence.h"

namespace keelrun {
namespace {

// The data folder of a race given as a path: the folder above its raceadmin/.
QString dataFolderOfRacePath(const QString &race)
{
    const QFileInfo info(race);
    if (!info.isFile())
        return {};
    QDir dir = info.absoluteDir();
    if (dir.dirName().compare(subFolderName(SubFolder::RaceAdmin), Qt::CaseInsensitive) != 0 || !dir.cdUp())
        return {};
    return dir.path();
}

// "1280x1024"
std::optional<QSize> parseSize(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    bool okWidth = false, okHeight = false;
    const int w = parts.value(0).toInt(&okWidth), h = parts.value(1).toInt(&okHeight);
    if (parts.size() != 2 || !okWidth || !okHeight || w < 16 || h < 16 || w > 16384 || h > 16384)
        return std::nullopt;
    return QSize(w, h);
}

// "track" (or nothing), "graph", "analysis"
std::optional<Page> parsePage(const QString &text)
{
    if (text.isEmpty() || text == QLatin1String("track"))
        return Page::Track;
    if (text == QLatin1String("graph"))
        return Page::Graph;
    if (text == QLatin1String("analysis"))
        return Page::Analysis;
    return std::nullopt;
}

}  // namespace

void printError(const QString &message) { std::fprintf(stderr, "keelrun: %s\n", qPrintable(message)); }

ProgramKind programKind(const QStringList &arguments)
{
    auto named = [&](const char *option) {
        return std::any_of(arguments.begin(), arguments.end(), [&](const QString &a) {
            return a == QLatin1String(option) || a.startsWith(QLatin1String(option) + QLatin1Char('='));
        });
    };
    if (named("--help") || named("--help-all") || named("-h") || named("--version") || named("-v") || named("--inspect") || named("--check") ||
        named("--export-csv") || named("--export-kml") || named("--export-manoeuvres"))
        return ProgramKind::Text;
    if (named("--screenshot") || (named("--video") && named("--window")))
        return ProgramKind::Screenshot;
    return named("--render") || named("--video") ? ProgramKind::Picture : ProgramKind::Window;
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
    const QCommandLineOption checkOption(QStringLiteral("check"),
                                         QStringLiteral("Load RACE as the window does and print its warnings, each boat's fixes, "
                                                        "passings and rank; exit 0 when clean, 1 with warnings, 2 when it cannot be loaded."),
                                         QStringLiteral("RACE"));
    const QCommandLineOption samplesOption(QStringLiteral("samples"), QStringLiteral("With --inspect: include every boat's samples."));
    const QCommandLineOption coastOption(QStringLiteral("coast"), QStringLiteral("With --inspect: include the coastline's points."));
    const QCommandLineOption ctOption(QStringLiteral("ct"), QStringLiteral("With --inspect, --render or --export-csv: corrected time."));
    const QCommandLineOption renderOption(QStringLiteral("render"), QStringLiteral("Draw the map of RACE without a window."), QStringLiteral("RACE"));
    const QCommandLineOption atOption(QStringLiteral("at"), QStringLiteral("With --render: the race-clock time, seconds from the gun."), QStringLiteral("SECONDS"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("With --render: the picture's size (default 1280x1024)."), QStringLiteral("WxH"));
    const QCommandLineOption northUpOption(QStringLiteral("north-up"), QStringLiteral("With --render: north at the top."));
    const QCommandLineOption windUpOption(QStringLiteral("wind-up"), QStringLiteral("With --render: the mean wind at the top."));
    const QCommandLineOption zoomOption(QStringLiteral("zoom"), QStringLiteral("With --render: the zoom slider, 0 (ten times the area) to 100 (default)."), QStringLiteral("N"));
    const QCommandLineOption laylinesOption(QStringLiteral("laylines"), QStringLiteral("With --render: draw the lay lines at marks and lines."));
    const QCommandLineOption exportCsvOption(QStringLiteral("export-csv"), QStringLiteral("Write the performance table of RACE (to the documents folder, or -o FILE)."), QStringLiteral("RACE"));
    const QCommandLineOption exportKmlOption(QStringLiteral("export-kml"), QStringLiteral("Write RACE as KML: the whole race, or with --at the scene at that time."), QStringLiteral("RACE"));
    const QCommandLineOption hideUnfocusedOption(QStringLiteral("hide-unfocused"), QStringLiteral("With --export-kml: leave out the boats the race file hides."));
    const QCommandLineOption screenshotOption(QStringLiteral("screenshot"), QStringLiteral("Draw the whole window with RACE loaded, without a display."), QStringLiteral("RACE"));
    const QCommandLineOption pageOption(QStringLiteral("page"), QStringLiteral("With --render or --screenshot: the page drawn, track (default), graph or analysis."), QStringLiteral("PAGE"));
    const QCommandLineOption languageOption(QStringLiteral("lang"), QStringLiteral("With --screenshot: the window's language, ja or en."), QStringLiteral("LANG"));
    const QCommandLineOption stoppedOption(QStringLiteral("stopped"), QStringLiteral("With --screenshot: the replay stopped, the map showing the course diagram."));
    const QCommandLineOption manoeuvresOption(QStringLiteral("export-manoeuvres"), QStringLiteral("Write every boat's tacks and gybes of RACE as CSV (to the documents folder, or -o FILE)."), QStringLiteral("RACE"));
    const QCommandLineOption videoOption(QStringLiteral("video"), QStringLiteral("Write the replay of RACE as a video (MP4, or WebM for a .webm name)."), QStringLiteral("RACE"));
    const QCommandLineOption fromOption(QStringLiteral("from"), QStringLiteral("With --video: the race-clock time it starts at (default: the race window's start)."), QStringLiteral("SECONDS"));
    const QCommandLineOption toOption(QStringLiteral("to"), QStringLiteral("With --video: the race-clock time it ends at (default: the race window's end)."), QStringLiteral("SECONDS"));
    const QCommandLineOption speedOption(QStringLiteral("speed"), QStringLiteral("With --video: times real time, 1 to 1500 (default 30)."), QStringLiteral("S"));
    const QCommandLineOption fpsOption(QStringLiteral("fps"), QStringLiteral("With --video: frames a second, 1 to 120 (default 30)."), QStringLiteral("N"));
    const QCommandLineOption windowOption(QStringLiteral("window"), QStringLiteral("With --video: the whole window, time bar and boards too."));
    const QCommandLineOption outputOption(QStringList{QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("With --render or --screenshot: the PNG file to write; with --export-csv: the table's file."), QStringLiteral("FILE"));
    parser.addOptions({raceOption, inspectOption, checkOption, samplesOption, coastOption, ctOption, renderOption, atOption, sizeOption, northUpOption,
                       windUpOption, zoomOption, laylinesOption, exportCsvOption, exportKmlOption, hideUnfocusedOption, screenshotOption, pageOption, languageOption, stoppedOption,
                       manoeuvresOption, videoOption, fromOption, toOption, speedOption, fpsOption, windowOption, outputOption});

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
        std::printf("keelrun %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return command;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        printError(QStringLiteral("too many arguments; see keelrun --help"));
        command.exitCode = kExitError;
        return command;
    }
    command.dataDir = positional.value(0);
    command.samples = parser.isSet(samplesOption);
    command.coast = parser.isSet(coastOption);
    command.corrected = parser.isSet(ctOption);
    if (parser.isSet(inspectOption)) {
        command.mode = CommandLine::Inspect;
        command.race = parser.value(inspectOption);
        return command;
    }
    if (parser.isSet(checkOption)) {
        command.mode = CommandLine::Check;
        command.race = parser.value(checkOption);
        return command;
    }
    if (parser.isSet(exportKmlOption)) {
        command.mode = CommandLine::ExportKml;
        command.race = parser.value(exportKmlOption);
        command.output = parser.value(outputOption);
        command.hideUnfocused = parser.isSet(hideUnfocusedOption);
        if (parser.isSet(atOption)) {
            bool atOk = false;
            command.sceneAt = parser.value(atOption).toDouble(&atOk);
            if (!atOk) {
                printError(QStringLiteral("--at needs SECONDS"));
                command.mode = CommandLine::Done;
                command.exitCode = kExitError;
            }
        }
        return command;
    }
    // How the map is drawn, for pictures and videos: the picture's size,
    // the zoom slider, the orientation, the lay lines. False for a size or a
    // zoom that will not do.
    const auto readMapOptions = [&] {
        const auto size = parser.isSet(sizeOption) ? parseSize(parser.value(sizeOption)) : std::optional<QSize>(command.size);
        bool zoomOk = true;
        if (parser.isSet(zoomOption))
            command.zoom = parser.value(zoomOption).toInt(&zoomOk);
        if (parser.isSet(northUpOption) || parser.isSet(windUpOption))
            command.northUp = parser.isSet(northUpOption);
        command.laylines = parser.isSet(laylinesOption);
        command.size = size.value_or(command.size);
        return size.has_value() && zoomOk && command.zoom >= 0 && command.zoom <= 100;
    };
    if (parser.isSet(videoOption)) {
        command.mode = CommandLine::Video;
        command.race = parser.value(videoOption);
        command.output = parser.value(outputOption);
        command.size = QSize(1280, 720);
        bool ok = true;
        const auto number = [&](const QCommandLineOption &option, double low, double high, double fallback) {
            if (!parser.isSet(option))
                return fallback;
            bool read = false;
            const double value = parser.value(option).toDouble(&read);
            ok = ok && read && value >= low && value <= high;
            return value;
        };
        if (parser.isSet(fromOption))
            command.videoFrom = number(fromOption, -1e7, 1e7, 0);
        if (parser.isSet(toOption))
            command.videoTo = number(toOption, -1e7, 1e7, 0);
        command.videoSpeed = number(speedOption, 1, 1500, 30);
        command.videoFps = static_cast<int>(number(fpsOption, 1, 120, 30));
        command.videoWindow = parser.isSet(windowOption);
        if (!readMapOptions() || !ok || command.output.isEmpty()) {
            printError(QStringLiteral("--video needs -o FILE.mp4 (or .webm); --from and --to are seconds, --speed 1..1500, "
                                      "--fps 1..120, --size WxH, --zoom 0..100"));
            command.mode = CommandLine::Done;
            command.exitCode = kExitError;
            return command;
        }
        return command;
    }
    if (parser.isSet(manoeuvresOption)) {
        command.mode = CommandLine::ExportManoeuvres;
        command.race = parser.value(manoeuvresOption);
        command.output = parser.value(outputOption);
        return command;
    }
    if (parser.isSet(exportCsvOption)) {
        command.mode = CommandLine::ExportCsv;
        command.race = parser.value(exportCsvOption);
        command.output = parser.value(outputOption);
        return command;
    }
    const bool screenshot = parser.isSet(screenshotOption);
    if (!parser.isSet(renderOption) && !screenshot) {
        command.mode = CommandLine::Window;
        command.race = parser.value(raceOption);
        // A race file opened from the desktop: its folder's race first.
        if (const QString root = dataFolderOfRacePath(command.dataDir); !root.isEmpty()) {
            command.race = command.dataDir;
            command.dataDir = root;
        }
        return command;
    }
    bool atOk = false;
    command.race = parser.value(screenshot ? screenshotOption : renderOption);
    const std::optional<Page> page = parsePage(parser.value(pageOption));
    command.page = page.value_or(Page::Track);
    // The pages show the whole race; only the map needs a time.
    command.at = parser.value(atOption).toDouble(&atOk);
    atOk = atOk || (!parser.isSet(atOption) && command.page != Page::Track);
    const bool mapOk = readMapOptions();
    command.output = parser.value(outputOption);
    command.language = parser.value(languageOption);
    command.stopped = parser.isSet(stoppedOption);
    const bool pageOk = page.has_value();
    const bool languageOk = command.language.isEmpty() || command.language == QLatin1String("ja") || command.language == QLatin1String("en");
    if (!atOk || !mapOk || command.output.isEmpty() || !pageOk || !languageOk) {
        printError(QStringLiteral("--render and --screenshot need -o FILE.png and, for the track page, --at SECONDS; --size is WxH, "
                                  "--zoom 0..100, --page track, graph or analysis, --lang ja or en"));
        command.exitCode = kExitError;
        return command;
    }
    command.mode = screenshot ? CommandLine::Screenshot : CommandLine::Render;
    return command;
}

CommandLine describeAndParse()
{
    QCoreApplication::setApplicationName(QStringLiteral("Keelrun"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KEELRUN_VERSION));
    return parseCommandLine(QCoreApplication::arguments().mid(1));
}

void drawWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

std::optional<std::pair<DataFolder, QString>> resolveCommandRace(const CommandLine &command, const QString &executableDir)
{
    QString root = command.dataDir;
    if (root.isEmpty())
        root = dataFolderOfRacePath(command.race);
    if (root.isEmpty())
        root = defaultDataFolder(executableDir);
    const DataFolder folder(root);
    const QString &race = command.race;
    const QString path = QFileInfo(race).isFile() ? race : folder.find(SubFolder::RaceAdmin, race).value_or(QString());
    if (path.isEmpty()) {
        printError(QStringLiteral("race file \"%1\" not found (looked in %2)").arg(race, folder.path(SubFolder::RaceAdmin)));
        return std::nullopt;
    }
    return std::pair{folder, path};
}

void printLoadResult(const LoadResult &result)
{
    for (const QString &warning : result.warnings)
        printError(QStringLiteral("warning: ") + warning);
    if (!result.ok())
        printError(result.message);
}

bool loadCommandRace(const CommandLine &command, const QString &executableDir, RaceState &state)
{
    const auto resolved = resolveCommandRace(command, executableDir);
    if (!resolved)
        return false;
    if (command.corrected) {
        // As if the user had ticked "CT mode" before this load.
        state.raceLoadedOnce = true;
        state.ctModeChosen = true;
    }
    const LoadResult result = loadRace(state, resolved->first, resolved->second);
    printLoadResult(result);
    return result.ok();
}

int runInspect(const CommandLine &command, const QString &executableDir)
{
    RaceState state;
    if (!loadCommandRace(command, executableDir, state))
        return kExitError;
    const std::string json = inspectJson(state, {command.samples, command.coast});
    std::fwrite(json.data(), 1, json.size(), stdout);
    return 0;
}

}  // namespace keelrun
