#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QScreen>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/single_instance.h"

namespace {

void describe()
{
    QCoreApplication::setApplicationName(QStringLiteral("Keelrun"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KEELRUN_VERSION));
}

int runWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    describe();
    const keelrun::CommandLine command = keelrun::parseCommandLine(QCoreApplication::arguments().mid(1));
    if (command.mode == keelrun::CommandLine::Done)
        return command.exitCode;

    keelrun::SingleInstance instance(QStringLiteral("keelrun"));
    if (!instance.claim())
        return 0;
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
    return app.exec();
}

}  // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (keelrun::wantsWindow(arguments))
        return runWindow(argc, argv);

    QCoreApplication app(argc, argv);
    describe();
    const keelrun::CommandLine command = keelrun::parseCommandLine(QCoreApplication::arguments().mid(1));
    if (command.mode == keelrun::CommandLine::Done)
        return command.exitCode;
    return keelrun::runInspect(command, QCoreApplication::applicationDirPath());
}
