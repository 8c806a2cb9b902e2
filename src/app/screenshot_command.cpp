#include "app/screenshot_command.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <QCoreApplication>
#include <QPainter>
#include <QEventLoop>
#include <QTimer>

#include "app/main_window.h"
#include "cli/render_command.h"
#include "cli/video_command.h"

namespace keelrun {

namespace {

// The window built offscreen at the command's size with its race loaded;
// nothing when the race does not load.
std::unique_ptr<MainWindow> openWindow(const CommandLine &command, const QString &executableDir)
{
    const auto race = resolveCommandRace(command, executableDir);
    if (!race)
        return nullptr;
    auto window = std::make_unique<MainWindow>(race->first, race->second);
    const double scale = window->devicePixelRatioF();
    window->resize(int(std::ceil(command.size.width() / scale)), int(std::ceil(command.size.height() / scale)));
    window->show();
    QEventLoop loaded;
    QObject::connect(window.get(), &MainWindow::raceLoaded, &loaded, &QEventLoop::quit);
    loaded.exec();
    printLoadResult(window->lastLoad());
    if (!window->lastLoad().ok())
        return nullptr;
    return window;
}

// The window as drawn, pixel for pixel: `size` pixels, whatever the scale
// the window is drawn at.
QImage windowPicture(MainWindow &window, QSize size)
{
    QImage shot = window.grab().toImage().copy(QRect(QPoint(), size));
    shot.setDevicePixelRatio(1);
    return shot;
}

}  // namespace

int runWindowVideo(const CommandLine &command, const QString &executableDir, const std::atomic<bool> &stop)
{
    const auto window = openWindow(command, executableDir);
    if (!window)
        return kExitError;
    window->holdForPicture(false);
    return reportVideo(window->race(), command, stop, [&](QImage &picture, double t) {
        window->jumpTo(t);
        window->showFinishesSoFar();
        QCoreApplication::processEvents();
        QPainter(&picture).drawImage(0, 0, windowPicture(*window, picture.size()));
    });
}

int runScreenshot(const CommandLine &command, const QString &executableDir)
{
    const auto opened = openWindow(command, executableDir);
    if (!opened)
        return kExitError;
    MainWindow &window = *opened;

    if (!command.language.isEmpty())
        window.setLanguage(command.language == QLatin1String("ja") ? Language::Japanese : Language::EnglishChosen);
    window.holdForPicture(command.stopped);
    window.showSpeedColours(command.speedColours);
    const auto watched = selectedBoats(window.race(), command);
    const int followed = command.follow.isEmpty() ? -1 : boatNamed(window.race(), command.follow, "follow");
    if (followed == 0 || !watched)
        return kExitError;
    window.watchBoats(*watched);
    window.jumpTo(command.at.raceClock(window.race()));
    if (followed > 0)
        window.followBoat(followed);
    window.showFinishesSoFar();
    if (command.page != Page::Track)
        window.showPage(command.page);
    QCoreApplication::processEvents();

    return savePicture(windowPicture(window, command.size), command.output) ? 0 : kExitError;
}

}  // namespace keelrun
