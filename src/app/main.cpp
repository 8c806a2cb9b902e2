#include <cstdio>

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>

#include "app/window_module.h"
#include "base/program_module.h"
#include "cli/command_line.h"
#include "cli/export_command.h"
#include "cli/render_command.h"
#include "cli/video_command.h"

namespace {

// The window, and the commands that build it, run in the window's module.
int runWindowModule(int &argc, char **argv, bool screenshot)
{
    const QString programDir = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
    QString problem;
    const auto entry = reinterpret_cast<keelrun::WindowModuleEntry>(
        keelrun::loadProgramModule(programDir, QStringLiteral("keelrun-window.so"), keelrun::kWindowModuleEntry, problem));
    if (!entry) {
        std::fprintf(stderr, "keelrun: the window module keelrun-window.so is missing or broken (%s)\n", qPrintable(problem));
        return keelrun::kExitError;
    }
    return entry(&argc, argv, screenshot);
}

}  // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    switch (keelrun::programKind(arguments)) {
    case keelrun::ProgramKind::Window:
        return runWindowModule(argc, argv, false);
    case keelrun::ProgramKind::Screenshot:
        return runWindowModule(argc, argv, true);
    case keelrun::ProgramKind::Picture: {
        keelrun::drawWithoutDisplay();
        QGuiApplication app(argc, argv);
        const keelrun::CommandLine command = keelrun::describeAndParse();
        if (command.mode == keelrun::CommandLine::Video)
            return keelrun::runVideo(command, QCoreApplication::applicationDirPath(), keelrun::stopOnInterrupt());
        return command.mode == keelrun::CommandLine::Done ? command.exitCode
                                                          : keelrun::runRender(command, QCoreApplication::applicationDirPath());
    }
    case keelrun::ProgramKind::Text:
        break;
    }
    QCoreApplication app(argc, argv);
    const keelrun::CommandLine command = keelrun::describeAndParse();
    switch (command.mode) {
    case keelrun::CommandLine::ExportCsv:
        return keelrun::runExportCsv(command, QCoreApplication::applicationDirPath());
    case keelrun::CommandLine::ExportKml:
        return keelrun::runExportKml(command, QCoreApplication::applicationDirPath());
    case keelrun::CommandLine::ExportManoeuvres:
        return keelrun::runExportManoeuvres(command, QCoreApplication::applicationDirPath());
    case keelrun::CommandLine::Inspect:
        return keelrun::runInspect(command, QCoreApplication::applicationDirPath());
    default:
        return command.exitCode;
    }
}
