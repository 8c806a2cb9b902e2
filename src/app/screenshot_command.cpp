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

// A boat of the race by its number or its name; 0, said on stderr, for none.
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
    std::vector<int> watched;
    for (const QString &boat : command.select)
        watched.push_back(boatNamed(window.race(), boat, "select"));
    const int followed = command.follow.isEmpty() ? -1 : boatNamed(window.race(), command.follow, "follow");
    if (followed == 0 || std::count(watched.begin(), watched.end(), 0) > 0)
        return kExitError;
    window.watchBoats(watched);
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
