#include "cli/render_command.h"

#include <algorithm>

#include <QSaveFile>

#include "race/daylight.h"
#include "render/map_frame.h"
#include "render/pages/analysis_page.h"
#include "render/pages/graph_page.h"

namespace keelrun {

int runRender(const CommandLine &command, const QString &executableDir)
{
    RaceState race;
    if (!loadCommandRace(command, executableDir, race))
        return kExitError;

    DisplayChoices choices;
    choices.northUp = command.northUp.value_or(race.northUp > 0);
    choices.zoomSlider = command.zoom;
    // The sea as the automatic daylight shows it at that time of day.
    const Daylight daylight = daylightAt(timeOfDay(command.at, race.daylight), race.daylight);
    choices.seaBrightness = daylight.level;
    choices.night = daylight.night;
    // The lights as they would flash that many seconds into a replay.
    const LightClock lights = lightsAt(static_cast<int>(std::clamp(command.at, 0.0, 1e9)), race.lights);
    choices.lights = &lights;
    choices.laylines = command.laylines;
    choices.windowHeight = command.size.height();
    choices.mapSize = command.size;
    PlaybackClock clock;
    clock.raceClock = command.at;
    const MapPictures pictures = mapPictures(race, choices.northUp);
    const MapFrameRequest request = mapFrameRequest(choices, clock, pictures);

    FrameState frame = newFrameState(race);
    computeFrame(frame, race, request.frame);
    QImage bitmap(command.size, QImage::Format_RGB32);
    if (command.page == Page::Track) {
        bitmap.fill(request.boats.sea);
        drawMapFrame(bitmap, race, frame, request.boats, request.overlays);
    }
    else {
        const PageRequest page{command.size.height(), {}, request.boats.sea, choices.labelLevel};
        if (command.page == Page::Graph)
            drawGraphPage(bitmap, race, page);
        else
            drawAnalysisPage(bitmap, race, page);
    }

    QSaveFile file(command.output);
    if (!file.open(QIODevice::WriteOnly) || !bitmap.save(&file, "PNG") || !file.commit()) {
        printError(QStringLiteral("%1: %2").arg(command.output, file.errorString()));
        return kExitError;
    }
    return 0;
}

}  // namespace keelrun
