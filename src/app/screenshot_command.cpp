#include "app/screenshot_command.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSaveFile>
#include <QTimer>

#include "app/main_window.h"

namespace keelrun {

int runScreenshot(const CommandLine &command, const QString &executableDir)
{
    const auto race = resolveCommandRace(command, executableDir);
    if (!race)
        return kExitError;
    MainWindow window(race->first, race->second);
    window.resize(command.size);
    window.show();
    QEventLoop loaded;
    QObject::connect(&window, &MainWindow::raceLoaded, &loaded, &QEventLoop::quit);
    loaded.exec();
    printLoadResult(window.lastLoad());
    if (!window.lastLoad().ok())
        return kExitError;

    if (!command.language.isEmpty())
        window.setLanguage(command.language == QLatin1String("ja") ? Language::Japanese : Language::EnglishChosen);
    window.holdForPicture(command.stopped);
    window.jumpTo(command.at);
    window.showFinishesSoFar();
    if (command.page != Page::Track)
        window.showPage(command.page);
    QCoreApplication::processEvents();

    const QImage picture = window.grab().toImage();
    QSaveFile file(command.output);
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit()) {
        printError(QStringLiteral("%1: %2").arg(command.output, file.errorString()));
        return kExitError;
    }
    return 0;
}

}  // namespace keelrun
