#pragma once
// The command line: `keelrun [DIR] [--race NAME]` opens the window;
// `keelrun --inspect RACE [--samples] [--ct] [DIR]` prints a race as JSON.

#include <QString>
#include <QStringList>

namespace keelrun {

struct CommandLine {
    enum Mode { Window, Inspect, Done };
    Mode mode = Window;
    int exitCode = 0;      // for Done: help, version or a usage error was printed
    QString dataDir;       // empty: the default data folder
    QString race;          // Window: the race to show first; Inspect: the race to print
    bool samples = false;
    bool corrected = false;
};

// Arguments without the program name.
CommandLine parseCommandLine(const QStringList &arguments);

// Whether the arguments ask for the window (and so a display).
bool wantsWindow(const QStringList &arguments);

int runInspect(const CommandLine &command, const QString &executableDir);

}  // namespace keelrun
