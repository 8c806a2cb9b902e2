#include <cstdio>
#include <optional>

#include <QCoreApplication>
#include <QFileInfo>

#include "app/window_module.h"
#include "base/program_module.h"
#include "cli/check_command.h"
#include "cli/command_line.h"
#include "cli/export_command.h"
#include "cli/picture_module.h"

namespace {

// The entry point `symbol` of the module `fileName` beside the program; on
// failure nothing, with the reason on stderr.
template <typename Entry>
Entry moduleEntry(const char *fileName, const char *symbol, const char *what)
{
    const QString programDir = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
    QString problem;
    const QFunctionPointer entry = keelrun::loadProgramModule(programDir, QString::fromLatin1(fileName), symbol, problem);
    if (!entry)
        std::fprintf(stderr, "keelrun: the %s module %s is missing or broken (%s)\n", what, fileName, qPrintable(problem));
    return reinterpret_cast<Entry>(entry);
}

// The window, and the commands that build it, run in the window's module.
int runWindowModule(int &argc, char **argv, bool screenshot)
{
    const auto entry = moduleEntry<keelrun::WindowModuleEntry>("keelrun-window.so", keelrun::kWindowModuleEntry, "window");
    return entry ? entry(&argc, argv, screenshot) : keelrun::kExitError;
}

// Pictures and videos drawn without a window run in the pictures' module.
int runPictureModule(int &argc, char **argv)
{
    const auto entry = moduleEntry<keelrun::PictureModuleEntry>("keelrun-picture.so", keelrun::kPictureModuleEntry, "pictures'");
    return entry ? entry(&argc, argv) : keelrun::kExitError;
}

}  // namespace

// The command line is read here, once for every mode, so that a usage
// error or --help never needs a display; each module then runs its mode.
int main(int argc, char *argv[])
{
    std::optional<QCoreApplication> app(std::in_place, argc, argv);
    const keelrun::CommandLine command = keelrun::describeAndParse();
    const auto inModule = [&](auto run) {
        app.reset();  // the module makes the application its mode needs
        return run();
    };
    switch (command.mode) {
    case keelrun::CommandLine::Done:
        return command.exitCode;
    case keelrun::CommandLine::Window:
        return inModule([&] { return runWindowModule(argc, argv, false); });
    case keelrun::CommandLine::Screenshot:
        return inModule([&] { return runWindowModule(argc, argv, true); });
    case keelrun::CommandLine::Video:
        return inModule([&] { return command.videoWindow ? runWindowModule(argc, argv, true) : runPictureModule(argc, argv); });
    case keelrun::CommandLine::Render:
        return inModule([&] { return runPictureModule(argc, argv); });
    case keelrun::CommandLine::ExportCsv:
        return keelrun::runExportCsv(command, QCoreApplication::applicationDirPath());
    case keelrun::CommandLine::ExportKml:
        return keelrun::runExportKml(command, QCoreApplication::applicationDirPath());
    case keelrun::CommandLine::ExportManoeuvres:
        return keelrun::runExportManoeuvres(command, QCoreApplication::applicationDirPath());
    case keelrun::CommandLine::ExportLegs:
        return keelrun::runExportLegs(command, QCoreApplication::applicationDirPath());
    case keelrun::CommandLine::ExportPolars:
        return keelrun::runExportPolars(command, QCoreApplication::applicationDirPath());
    case keelrun::CommandLine::Inspect:
        return keelrun::runInspect(command, QCoreApplication::applicationDirPath());
    case keelrun::CommandLine::Check:
        return keelrun::runCheck(command, QCoreApplication::applicationDirPath());
    }
    return command.exitCode;
}
