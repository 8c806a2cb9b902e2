#include "cli/render_command.h"

#include <algorithm>

#include <QSaveFile>

#include "export/documents.h"
#include "replay/light_phases.h"
#include "view/window_layout.h"
#include "race/daylight.h"
#include "render/map_frame.h"
#include "render/painting.h"
#include "render/pages/race_page.h"

namespace keelrun {

namespace {

bool pictureNorthUp(const RaceState &race, const CommandLine &command) { return command.northUp.value_or(race.northUp > 0); }

// The sea as the automatic daylight shows it at that time of day.
Daylight daylightOfPicture(const RaceState &race, double t) { return daylightAt(timeOfDay(t, race.daylight), race.daylight); }

}  // namespace

MapPictures trackPictures(const RaceState &race, const CommandLine &command)
{
    return mapPictures(race, pictureNorthUp(race, command));
}

void drawTrackPicture(QImage &bitmap, const RaceState &race, const CommandLine &command, double t, const MapPictures &pictures,
                      FrameState &frame)
{
    DisplayChoices choices;
    choices.northUp = pictureNorthUp(race, command);
    choices.zoomSlider = command.zoom;
    const Daylight daylight = daylightOfPicture(race, t);
    choices.seaBrightness = daylight.level;
    choices.night = daylight.night;
    // The lights as they would flash that many seconds into a replay.
    const LightClock lights = lightsAt(static_cast<int>(std::clamp(t, 0.0, 1e9)), race.lights);
    choices.lights = &lights;
    choices.laylines = command.laylines;
    choices.speedColours = command.speedColours;
    choices.windowHeight = bitmap.height();
    choices.mapSize = bitmap.size();
    PlaybackClock clock;
    clock.raceClock = t;
    const MapFrameRequest request = mapFrameRequest(choices, clock, pictures);
    computeFrame(frame, race, request.frame);
    bitmap.fill(request.boats.sea);
    drawMapFrame(bitmap, race, frame, request.boats, request.overlays);
}

int runRender(const CommandLine &command, const QString &executableDir)
{
    RaceState race;
    if (!loadCommandRace(command, executableDir, race))
        return kExitError;

    const auto chosen = selectedBoats(race, command);
    if (!chosen)
        return kExitError;
    QImage bitmap(command.size, QImage::Format_RGB32);
    const double at = command.at.raceClock(race);
    if (command.page == Page::Track) {
        FrameState frame = newFrameState(race);
        drawTrackPicture(bitmap, race, command, at, trackPictures(race, command), frame);
    } else {
        const QColor sea = toQColor(seaColours(daylightOfPicture(race, at).level).sea);
        makeRacePage(command.page)->draw(bitmap, race, {command.size.height(), {}, sea, 1, Language::EnglishByLocale, *chosen});
    }

    return savePicture(bitmap, command.output) ? 0 : kExitError;
}

bool savePicture(const QImage &picture, const QString &path)
{
    const QByteArray format = pictureFormatFor(path);
    if (format.isEmpty()) {
        printError(QStringLiteral("%1: name the picture %2").arg(path, QLatin1String(kPictureNames)));
        return false;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && picture.save(&file, format.constData()) && file.commit())
        return true;
    printError(QStringLiteral("%1: %2").arg(path, file.error() == QFileDevice::NoError ? QStringLiteral("cannot write %1 pictures").arg(QString::fromLatin1(format))
                                                                                        : file.errorString()));
    return false;
}

}  // namespace keelrun
