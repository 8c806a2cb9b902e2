#pragma once
// The command line: `keelrun [DIR] [--race NAME]` opens the window;
// `keelrun --inspect RACE [--samples] [--ct] [DIR]` prints a race as JSON;
// `keelrun --check RACE [DIR]` reports it in plain text for its organiser;
// `keelrun --render RACE --at SECONDS [...] -o FILE.png` draws the map, and
// with `--page graph|analysis` a page.

#include <optional>

#include <QSize>
#include <QString>
#include <QStringList>

#include "io/data_folder.h"
#include "model/race_state.h"
#include "race/loading_sequence.h"
#include "view/window_layout.h"

namespace keelrun {

// A moment named on the command line: seconds on the race clock ("660",
// "-30") or a local time of day ("12:20:00", "12:20"), which becomes the
// race clock once the race's gun is known.
struct CommandTime {
    double value = 0;  // seconds on the race clock, or of the day
    bool ofDay = false;
    double raceClock(const RaceState &race) const;
};
// Nothing for a text that is neither.
std::optional<CommandTime> parseCommandTime(const QString &text);

struct CommandLine {
    enum Mode { Window, Inspect, Check, Render, Screenshot, ExportCsv, ExportKml, ExportManoeuvres, ExportLegs, ExportPolars, Video, Done };
    Mode mode = Window;
    int exitCode = 0;      // for Done: help, version or a usage error was printed
    QString dataDir;       // empty: the default data folder
    QString race;          // Window: the race to show first; Inspect: the race to print
    bool samples = false;
    bool coast = false;
    bool corrected = false;
    // Render: the race-clock time, the picture's size and file, the
    // orientation (the race file's when not given) and the zoom slider.
    CommandTime at;
    QSize size{1280, 1024};
    QString output;
    std::optional<bool> northUp;
    int zoom = 100;
    bool laylines = false;
    bool speedColours = false;  // Render and Screenshot: the tracks coloured by speed
    Page page = Page::Track;  // Render and Screenshot: what the map area shows
    // Screenshot: the window's language ("ja", "en"; empty: the locale's)
    // and whether the replay is stopped, showing the course diagram.
    QString language;
    bool stopped = false;
    // Screenshot: the boat the map follows, and those whose live numbers
    // show (the first highlighted), each by number or name.
    QString follow;
    QStringList select;
    // ExportKml: the scene at `at` when set, else the whole race; Inspect:
    // the live numbers at `at` when set.
    std::optional<CommandTime> sceneAt;
    bool hideUnfocused = false;
    // Video: the race-clock times it runs from and to (the race window when
    // not given), times real time, frames a second.
    std::optional<CommandTime> videoFrom, videoTo;
    double videoSpeed = 30;
    int videoFps = 30;
    bool videoWindow = false;  // the whole window as --screenshot draws it, not the map alone
};

// The data folder and race file a command names: the data folder it names,
// or the folder above the race file's raceadmin/, or the default one.
// Nothing, with the message on stderr, when the race file is not found.
std::optional<std::pair<DataFolder, QString>> resolveCommandRace(const CommandLine &command, const QString &executableDir);

// A boat of the race by its number or its name (any case); 0, said on
// stderr naming `option`, for none.
int boatNamed(const RaceState &race, const QString &text, const char *option);
// The boats --select names; nothing, said on stderr, when one is not in
// the race.
std::optional<std::vector<int>> selectedBoats(const RaceState &race, const CommandLine &command);

// The load's warnings and, for a failure, its message, on stderr.
void printLoadResult(const LoadResult &result);

// Loads the race a command names (from the data folder it names, or the
// folder above the race file's raceadmin/, or the default one). False, with
// the message on stderr, when it cannot be loaded.
bool loadCommandRace(const CommandLine &command, const QString &executableDir, RaceState &state);

void printError(const QString &message);

inline constexpr int kExitError = 2;

// Arguments without the program name.
CommandLine parseCommandLine(const QStringList &arguments);

// The program's name, desktop file and version set, and its arguments read.
CommandLine describeAndParse();

// Pictures need fonts but no display: Qt's offscreen platform, unless the
// user chose one. Called before the application object is made.
void drawWithoutDisplay();


int runInspect(const CommandLine &command, const QString &executableDir);

}  // namespace keelrun
