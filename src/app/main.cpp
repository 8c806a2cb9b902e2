#include <atomic>
#include <csignal>

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include "app/main_window.h"
#include "app/single_instance.h"
#include "cli/command_line.h"
#include "app/screenshot_command.h"
#include "cli/export_command.h"
#include "cli/render_command.h"
#include "cli/video_command.h"

namespace {

std::atomic<bool> stopVideo{false};

keelrun::CommandLine describeAndParse()
{
    QCoreApplication::setApplicationName(QStringLiteral("Keelrun"));
    QGuiApplication::setDesktopFileName(QStringLiteral("keelrun"));  // groups the window with its launcher
    QCoreApplication::setApplicationVersion(QStringLiteral(KEELRUN_VERSION));
    return keelrun::parseCommandLine(QCoreApplication::arguments().mid(1));
}

int runWindow(const keelrun::CommandLine &command)
{
    keelrun::SingleInstance instance(QStringLiteral("keelrun"));
    switch (instance.claim()) {
    case keelrun::SingleInstance::AnotherRuns:
        return 0;
    case keelrun::SingleInstance::Unguarded:
        keelrun::printError(instance.problem() + QStringLiteral("; more than one Keelrun window may run"));
        break;
    case keelrun::SingleInstance::Claimed:
        break;
    }
    const QString root = command.dataDir.isEmpty() ? keelrun::defaultDataFolder(QCoreApplication::applicationDirPath())
                                                   : command.dataDir;
    keelrun::MainWindow window{keelrun::DataFolder(root), command.race};
    QObject::connect(&instance, &keelrun::SingleInstance::raiseRequested, &window, [&window] {
        window.showNormal();
        window.showMaximized();
        window.raise();
        window.activateWindow();
    });
    // The window fills the screen, also where no window manager maximises it.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    switch (keelrun::programKind(arguments)) {
    case keelrun::ProgramKind::Window: {
        QApplication app(argc, argv);
        const keelrun::CommandLine command = describeAndParse();
        return command.mode == keelrun::CommandLine::Done ? command.exitCode : runWindow(command);
    }
    case keelrun::ProgramKind::Picture: {
        // Pictures need fonts but no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        const keelrun::CommandLine command = describeAndParse();
        if (command.mode == keelrun::CommandLine::Video) {
            // Ctrl+C ends the video early with what was done.
            std::signal(SIGINT, [](int) { stopVideo = true; });
            return keelrun::runVideo(command, QCoreApplication::applicationDirPath(), stopVideo);
        }
        return command.mode == keelrun::CommandLine::Done ? command.exitCode
                                                          : keelrun::runRender(command, QCoreApplication::applicationDirPath());
    }
    case keelrun::ProgramKind::Screenshot: {
        // The window is built and drawn without a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        const keelrun::CommandLine command = describeAndParse();
        if (command.mode == keelrun::CommandLine::Video) {
            std::signal(SIGINT, [](int) { stopVideo = true; });
            return keelrun::runWindowVideo(command, QCoreApplication::applicationDirPath(), stopVideo);
        }
        return command.mode == keelrun::CommandLine::Done ? command.exitCode
                                                          : keelrun::runScreenshot(command, QCoreApplication::applicationDirPath());
    }
    case keelrun::ProgramKind::Text:
        break;
    }
    QCoreApplication app(argc, argv);
    const keelrun::CommandLine command = describeAndParse();
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
