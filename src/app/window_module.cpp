#include "app/window_module.h"

#include <type_traits>

#include <QApplication>
#include <QFileInfo>
#include <QScreen>

#include "app/main_window.h"
#include "app/screen_scale.h"
#include "app/screenshot_command.h"
#include "app/single_instance.h"
#include "cli/command_line.h"
#include "cli/video_command.h"

namespace {

// What a second start asks the running window to show: its data folder and
// race, as paths that do not depend on where it was started; nothing when it
// named neither, so that the window only comes to the front.
QStringList requestFor(const keelrun::CommandLine &command, const QString &root)
{
    if (command.dataDir.isEmpty() && command.race.isEmpty())
        return {};
    const QFileInfo race(command.race);
    return {QFileInfo(root).absoluteFilePath(), race.isFile() ? race.absoluteFilePath() : command.race};
}

int runWindow(const keelrun::CommandLine &command)
{
    const QString root = command.dataDir.isEmpty() ? keelrun::defaultDataFolder(QCoreApplication::applicationDirPath())
                                                   : command.dataDir;
    keelrun::SingleInstance instance(QStringLiteral("keelrun"));
    switch (instance.claim(requestFor(command, root))) {
    case keelrun::SingleInstance::AnotherRuns:
        return 0;
    case keelrun::SingleInstance::Unguarded:
        keelrun::printError(instance.problem() + QStringLiteral("; more than one Keelrun window may run"));
        break;
    case keelrun::SingleInstance::Claimed:
        break;
    }
    keelrun::MainWindow window{keelrun::DataFolder(root), command.race};
    QObject::connect(&instance, &keelrun::SingleInstance::requested, &window, [&window](const QStringList &request) {
        window.showNormal();
        window.showMaximized();
        window.raise();
        window.activateWindow();
        if (request.size() == 2)
            window.openFolder(request[0], request[1]);
    });
    // The window fills the screen, also where no window manager maximises it.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    return QApplication::exec();
}

// The window is built and drawn without a display.
int runScreenshotCommand(const keelrun::CommandLine &command)
{
    if (command.mode == keelrun::CommandLine::Video)
        return keelrun::runWindowVideo(command, QCoreApplication::applicationDirPath(), keelrun::stopOnInterrupt());
    return command.mode == keelrun::CommandLine::Done ? command.exitCode
                                                      : keelrun::runScreenshot(command, QCoreApplication::applicationDirPath());
}

// The size a command that draws the window asks for, read with a
// short-lived application before the window's own is made.
QSize pictureSize(int &argc, char **argv)
{
    const QCoreApplication probe(argc, argv);
    return keelrun::describeAndParse().size;
}

}  // namespace

extern "C" Q_DECL_EXPORT int keelrunWindowMain(int *argc, char **argv, bool screenshot)
{
    static_assert(std::is_same_v<decltype(&keelrunWindowMain), keelrun::WindowModuleEntry>);
    if (screenshot)
        keelrun::drawWithoutDisplay();
    QGuiApplication::setDesktopFileName(QStringLiteral("keelrun"));  // groups the window with its launcher
    const QSize screen = screenshot ? pictureSize(*argc, argv) : keelrun::measurePrimaryScreen(*argc, argv);
    keelrun::scaleNextApplication(keelrun::interfaceScale(screen));
    QApplication app(*argc, argv);
    const keelrun::CommandLine command = keelrun::describeAndParse();
    if (screenshot)
        return runScreenshotCommand(command);
    return command.mode == keelrun::CommandLine::Done ? command.exitCode : runWindow(command);
}
