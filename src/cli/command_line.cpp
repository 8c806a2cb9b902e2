#include "cli/command_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "cli/inspect.h"
#include "export/documents.h"
#include "export/video_writer.h"
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

using Mode = CommandLine::Mode;

// The options that choose what the program does; at most one is given.
// Without one the window opens.
struct ModeOption {
    const char *name;
    Mode mode;
    const char *help;
};
constexpr ModeOption kModeOptions[] = {
    {"inspect", Mode::Inspect, "Load RACE without a window and print it as JSON."},
    {"check", Mode::Check,
     "Load RACE as the window does and print its warnings, each boat's fixes, passings and rank; exit 0 when clean, "
     "1 with warnings, 2 when it cannot be loaded."},
    {"export-csv", Mode::ExportCsv, "Write the performance table of RACE (to RACE.csv in the documents folder, or -o FILE)."},
    {"export-kml", Mode::ExportKml, "Write RACE as KML: the whole race, or with --at the scene at that time."},
    {"export-manoeuvres", Mode::ExportManoeuvres, "Write every boat's tacks and gybes of RACE as CSV (to the documents folder, or -o FILE)."},
    {"export-legs", Mode::ExportLegs,
     "Write each boat's legs of RACE as CSV: time, distance sailed, VMG, tacks and gybes, share of target speed, places "
     "(to the documents folder, or -o FILE)."},
    {"export-polars", Mode::ExportPolars,
     "Write the fleet's speeds by true wind angle and wind speed, with target speeds, of RACE as CSV (to the documents "
     "folder, or -o FILE)."},
    {"render", Mode::Render, "Draw the map of RACE, or with --page a page, without a window."},
    {"screenshot", Mode::Screenshot, "Draw the whole window with RACE loaded, without a display."},
    {"video", Mode::Video, "Write the replay of RACE as a video (.mp4, .webm or .mkv)."},
};

QString modeName(Mode mode)
{
    for (const ModeOption &m : kModeOptions) {
        if (m.mode == mode)
            return QStringLiteral("--") + QLatin1String(m.name);
    }
    return QStringLiteral("the window");
}

// The options that say how, with the modes they apply to.
struct Setting {
    QStringList names;
    QString valueName;  // empty for a switch
    QString help;
    QList<Mode> modes;
};

const QList<Setting> &settings()
{
    using M = Mode;
    static const QList<Setting> all{
        {{"race"}, "NAME", "Show the race file NAME of raceadmin/ first.", {M::Window}},
        {{"samples"}, {}, "Include every boat's samples.", {M::Inspect}},
        {{"coast"}, {}, "Include the coastline's points.", {M::Inspect}},
        {{"ct"}, {}, "Corrected time.", {M::Inspect, M::Render, M::ExportCsv, M::ExportManoeuvres, M::ExportLegs, M::Video}},
        {{"at"}, "TIME",
         "The moment drawn: seconds on the race clock from the gun (660, -30) or a local time of day (12:20:00).",
         {M::Render, M::Screenshot, M::ExportKml, M::Inspect}},
        {{"size"}, "WxH", "The picture's size (default 1280x1024; a video's 1280x720), at most 7680x4320.",
         {M::Render, M::Screenshot, M::Video}},
        {{"north-up"}, {}, "North at the top.", {M::Render, M::Video}},
        {{"wind-up"}, {}, "The mean wind at the top.", {M::Render, M::Video}},
        {{"zoom"}, "N", "The zoom slider, 0 (ten times the area) to 100 (default).", {M::Render, M::Video}},
        {{"laylines"}, {}, "Draw the lay lines at marks and lines.", {M::Render, M::Video}},
        {{"speed-colours"}, {}, "Colour the wakes and tracks by speed, with a legend in knots, as Speed Colours does.",
         {M::Render, M::Screenshot}},
        {{"hide-unfocused"}, {}, "Leave out the boats the race file hides.", {M::ExportKml}},
        {{"page"}, "PAGE", QStringLiteral("The page drawn: %1 (default: track).").arg(pageNameList()), {M::Render, M::Screenshot}},
        {{"lang"}, "LANG", "The window's language, ja or en.", {M::Screenshot}},
        {{"stopped"}, {}, "The replay stopped, the map showing the course diagram.", {M::Screenshot}},
        {{"follow"}, "BOAT", "The map follows BOAT, by number or name.", {M::Screenshot}},
        {{"select", "boats"}, "BOATS",
         "The boats picked (numbers or names, comma-separated; the first highlighted): their live numbers, and the analysis "
         "pages' chosen boats.",
         {M::Screenshot, M::Render}},
        {{"from"}, "TIME", "Where it starts, as --at (default: the race window's start).", {M::Video}},
        {{"to"}, "TIME", "Where it ends, as --at (default: the race window's end).", {M::Video}},
        {{"speed"}, "S", "Times real time, 1 to 1500 (default 30).", {M::Video}},
        {{"fps"}, "N", "Frames a second, 1 to 120 (default 30).", {M::Video}},
        {{"window"}, {}, "The whole window, time bar and boards too.", {M::Video}},
        {{"o", "output"}, "FILE",
         "The file written: a picture (.png, .jpg or .webp), a video (.mp4, .webm or .mkv), or the export's file.",
         {M::Render, M::Screenshot, M::Video, M::ExportCsv, M::ExportKml, M::ExportManoeuvres, M::ExportLegs, M::ExportPolars}},
    };
    return all;
}

// "--render, --screenshot and --video"
QString modeList(const QList<Mode> &modes)
{
    QStringList names;
    for (Mode mode : modes)
        names << modeName(mode);
    const QString last = names.takeLast();
    return names.isEmpty() ? last : names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

QCommandLineOption optionOf(const Setting &setting)
{
    return QCommandLineOption(setting.names, setting.help + QStringLiteral(" [") + modeList(setting.modes) + QLatin1Char(']'),
                              setting.valueName);
}

// Reads the values of the options given for one mode; the first that will
// not do leaves `error` naming it and why.
class OptionReader {
public:
    OptionReader(const QCommandLineParser &parser, Mode mode) : parser_(parser), mode_(mode) {}
    QString error;

    bool isSet(const char *name) const { return parser_.isSet(QLatin1String(name)); }
    QString value(const char *name) const { return parser_.value(QLatin1String(name)); }

    std::optional<CommandTime> time(const char *name)
    {
        if (!isSet(name))
            return std::nullopt;
        const QString text = value(name);
        if (const auto read = parseCommandTime(text))
            return read;
        fail(name, text, QStringLiteral("give seconds on the race clock (660, -30) or a time of day (12:20:00)"));
        return std::nullopt;
    }

    double number(const char *name, double low, double high, double fallback)
    {
        if (!isSet(name))
            return fallback;
        bool read = false;
        const double v = value(name).toDouble(&read);
        if (!read || !(v >= low && v <= high))
            fail(name, value(name), QStringLiteral("%1 to %2").arg(low).arg(high));
        return v;
    }

    QSize size(QSize fallback)
    {
        if (!isSet("size"))
            return fallback;
        const QString text = value("size");
        const QStringList parts = text.split(QLatin1Char('x'));
        bool okWidth = false, okHeight = false;
        const int w = parts.value(0).toInt(&okWidth), h = parts.value(1).toInt(&okHeight);
        if (parts.size() != 2 || !okWidth || !okHeight)
            fail("size", text, QStringLiteral("give WIDTHxHEIGHT, as 1280x1024"));
        else if (w < 16 || h < 16)
            fail("size", text, QStringLiteral("at least 16x16"));
        else if (w > 7680 || h > 4320)
            fail("size", text, QStringLiteral("at most 7680x4320"));
        return QSize(w, h);
    }

    // -o FILE, which pictures and videos need, named for a format the
    // program writes.
    QString output(bool needed, const QByteArray &format, const char *names)
    {
        const QString file = value("o");
        if (file.isEmpty()) {
            if (needed && error.isEmpty())
                error = QStringLiteral("%1 needs -o FILE (%2)").arg(modeName(mode_), QLatin1String(names));
        } else if (format.isEmpty() && names) {
            fail("o", file, QStringLiteral("name the file %1").arg(QLatin1String(names)));
        }
        return file;
    }

    void fail(const char *name, const QString &text, const QString &why)
    {
        if (error.isEmpty())
            error = QStringLiteral("%1%2 %3: %4").arg(qstrlen(name) == 1 ? QStringLiteral("-") : QStringLiteral("--"), QLatin1String(name), text, why);
    }

private:
    const QCommandLineParser &parser_;
    Mode mode_;
};

// The mode option given, or the window; more than one is an error.
std::optional<Mode> chosenMode(const QCommandLineParser &parser, QString &error)
{
    std::optional<Mode> mode;
    for (const ModeOption &m : kModeOptions) {
        if (!parser.isSet(QLatin1String(m.name)))
            continue;
        if (mode) {
            error = QStringLiteral("%1 and --%2: give one of them").arg(modeName(*mode), QLatin1String(m.name));
            return std::nullopt;
        }
        mode = m.mode;
    }
    return mode.value_or(Mode::Window);
}

// An option given for a mode it does not apply to is an error, not ignored.
QString misplacedSetting(const QCommandLineParser &parser, Mode mode)
{
    for (const Setting &s : settings()) {
        if (parser.isSet(s.names.first()) && !s.modes.contains(mode)) {
            return QStringLiteral("%1%2 applies to %3, not to %4")
                .arg(s.names.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), s.names.first(), modeList(s.modes),
                     modeName(mode));
        }
    }
    return {};
}

// How the map is drawn, for pictures and videos.
void readMapOptions(OptionReader &read, CommandLine &command)
{
    command.zoom = static_cast<int>(read.number("zoom", 0, 100, 100));
    if (read.isSet("north-up") && read.isSet("wind-up"))
        read.error = QStringLiteral("--north-up and --wind-up: give one of them");
    if (read.isSet("north-up") || read.isSet("wind-up"))
        command.northUp = read.isSet("north-up");
    command.laylines = read.isSet("laylines");
}

void readVideo(OptionReader &read, CommandLine &command)
{
    command.size = read.size(QSize(1280, 720));
    readMapOptions(read, command);
    command.videoFrom = read.time("from");
    command.videoTo = read.time("to");
    if (command.videoFrom && command.videoTo && !command.videoFrom->ofDay && !command.videoTo->ofDay &&
        command.videoFrom->value >= command.videoTo->value && read.error.isEmpty())
        read.error = QStringLiteral("--from %1 is not before --to %2").arg(read.value("from"), read.value("to"));
    command.videoSpeed = read.number("speed", 1, 1500, 30);
    command.videoFps = static_cast<int>(read.number("fps", 1, 120, 30));
    command.videoWindow = read.isSet("window");
    command.output = read.output(true, videoKindFor(read.value("o")) ? "video" : QByteArray(), kVideoNames);
}

// --render and --screenshot.
void readPicture(OptionReader &read, CommandLine &command)
{
    command.size = read.size(command.size);
    if (command.mode == Mode::Render)
        readMapOptions(read, command);
    const QString page = read.value("page");
    if (const auto named = pageNamed(page.isEmpty() ? QStringLiteral("track") : page))
        command.page = *named;
    else
        read.fail("page", page, pageNameList());
    // The pages show the whole race; only the map needs a time.
    const std::optional<CommandTime> at = read.time("at");
    if (at)
        command.at = *at;
    else if (command.page == Page::Track && read.error.isEmpty())
        read.error = QStringLiteral("%1 of the track page needs --at TIME").arg(modeName(command.mode));
    command.language = read.value("lang");
    if (!command.language.isEmpty() && command.language != QLatin1String("ja") && command.language != QLatin1String("en"))
        read.fail("lang", command.language, QStringLiteral("ja or en"));
    command.stopped = read.isSet("stopped");
    command.speedColours = read.isSet("speed-colours");
    command.follow = read.value("follow");
    if (read.isSet("select"))
        command.select = read.value("select").split(QLatin1Char(','), Qt::SkipEmptyParts);
    command.output = read.output(true, pictureFormatFor(read.value("o")), kPictureNames);
}

void readWindow(OptionReader &read, CommandLine &command)
{
    command.race = read.value("race");
    // A race file opened from the desktop: its folder's race first.
    if (const QString root = dataFolderOfRacePath(command.dataDir); !root.isEmpty()) {
        command.race = command.dataDir;
        command.dataDir = root;
    }
}

// The values of the options the mode takes.
void readMode(OptionReader &read, CommandLine &command)
{
    switch (command.mode) {
    case Mode::Window:
        readWindow(read, command);
        break;
    case Mode::Video:
        readVideo(read, command);
        break;
    case Mode::Render:
    case Mode::Screenshot:
        readPicture(read, command);
        break;
    case Mode::Inspect:
        command.sceneAt = read.time("at");
        command.output = read.output(false, "any", nullptr);
        break;
    case Mode::ExportKml:
        command.sceneAt = read.time("at");
        command.hideUnfocused = read.isSet("hide-unfocused");
        command.output = read.output(false, "any", nullptr);
        break;
    default:
        command.output = read.output(false, "any", nullptr);
        break;
    }
}

}  // namespace

std::optional<CommandTime> parseCommandTime(const QString &text)
{
    if (text.contains(QLatin1Char(':'))) {
        const QByteArray latin = text.toLatin1();
        auto seconds = parseTimeOfDay(std::string_view(latin.constData(), latin.size()));
        if (!seconds && text.count(QLatin1Char(':')) == 1)
            seconds = parseTimeOfDay((latin + ":00").toStdString());
        if (!seconds)
            return std::nullopt;
        return CommandTime{static_cast<double>(*seconds), true};
    }
    bool read = false;
    const double value = text.toDouble(&read);
    if (!read || !std::isfinite(value) || std::abs(value) > 1e7)
        return std::nullopt;
    return CommandTime{value, false};
}

double CommandTime::raceClock(const RaceState &race) const
{
    if (!ofDay)
        return value;
    // To the millisecond: a day count holds a time of day only to a few microseconds.
    const double gunOfDay = std::round((race.startTime.days - std::floor(race.startTime.days)) * kSecondsPerDay * 1000) / 1000;
    // The nearer of the day's and its neighbours' times: a race past midnight.
    return std::remainder(value - gunOfDay, kSecondsPerDay);
}

void printError(const QString &message) { std::fprintf(stderr, "keelrun: %s\n", qPrintable(message)); }

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Keelrun replays and analyses sailing races from GPS tracks. Without one of --inspect, --check, --export-csv, "
                       "--export-kml, --export-manoeuvres, --export-legs, --export-polars, --render, --screenshot or --video it "
                       "opens the window. Each option "
                       "below names in brackets the modes it applies to."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("The data folder (holding raceadmin/, gpsdat/, ...)."), QStringLiteral("[DIR]"));
    for (const ModeOption &m : kModeOptions)
        parser.addOption(QCommandLineOption(QLatin1String(m.name), QLatin1String(m.help), QStringLiteral("RACE")));
    for (const Setting &s : settings())
        parser.addOption(optionOf(s));

    CommandLine command;
    command.mode = Mode::Done;
    const auto refuse = [&](const QString &message) {
        printError(message);
        command.mode = Mode::Done;
        command.exitCode = kExitError;
        return command;
    };
    if (!parser.parse(QStringList{QStringLiteral("keelrun")} + arguments))
        return refuse(parser.errorText() + QStringLiteral(" See keelrun --help."));
    if (parser.isSet(help)) {
        std::printf("%s", qPrintable(parser.helpText()));
        return command;
    }
    if (parser.isSet(version)) {
        std::printf("keelrun %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return command;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return refuse(QStringLiteral("%1: one data folder at most; see keelrun --help").arg(positional.join(QLatin1Char(' '))));
    QString error;
    const std::optional<Mode> mode = chosenMode(parser, error);
    if (!mode)
        return refuse(error);
    if (const QString misplaced = misplacedSetting(parser, *mode); !misplaced.isEmpty())
        return refuse(misplaced);
    command.mode = *mode;
    command.dataDir = positional.value(0);
    for (const ModeOption &m : kModeOptions) {
        if (m.mode == *mode)
            command.race = parser.value(QLatin1String(m.name));
    }
    command.samples = parser.isSet(QStringLiteral("samples"));
    command.coast = parser.isSet(QStringLiteral("coast"));
    command.corrected = parser.isSet(QStringLiteral("ct"));
    OptionReader read(parser, *mode);
    readMode(read, command);
    if (!read.error.isEmpty())
        return refuse(read.error);
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
    LoadOptions options;
    if (command.corrected)
        options.corrected = true;
    const LoadResult result = loadRace(state, resolved->first, resolved->second, {}, options);
    printLoadResult(result);
    return result.ok();
}

int boatNamed(const RaceState &race, const QString &text, const char *option)
{
    bool number = false;
    const int b = text.toInt(&number);
    if (number && b >= 1 && b <= race.boatCount)
        return b;
    for (int c = 1; c <= race.boatCount; ++c) {
        if (race.boats[c].name.compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            return c;
    }
    printError(QStringLiteral("--%1 %2: no such boat in the race (give its number, 1 to %3, or its name)")
                   .arg(QLatin1String(option), text)
                   .arg(race.boatCount));
    return 0;
}

std::optional<std::vector<int>> selectedBoats(const RaceState &race, const CommandLine &command)
{
    std::vector<int> boats;
    for (const QString &text : command.select) {
        const int b = boatNamed(race, text, "select");
        if (b == 0)
            return std::nullopt;
        boats.push_back(b);
    }
    return boats;
}

int runInspect(const CommandLine &command, const QString &executableDir)
{
    RaceState state;
    if (!loadCommandRace(command, executableDir, state))
        return kExitError;
    InspectOptions options{command.samples, command.coast, std::nullopt};
    if (command.sceneAt)
        options.at = command.sceneAt->raceClock(state);
    const std::string json = inspectJson(state, options);
    std::fwrite(json.data(), 1, json.size(), stdout);
    return 0;
}

}  // namespace keelrun
