#include "app/render_command.h"

#include <QSaveFile>

#include "analysis/wind_graph.h"
#include "app/window_layout.h"
#include "map/renderer.h"
#include "playback/playback_clock.h"

namespace keelrun {

int runRender(const CommandLine &command, const QString &executableDir)
{
    RaceState race;
    if (!loadCommandRace(command, executableDir, race))
        return kExitError;
    race.zoomDivisor = zoomDivisorForSlider(command.zoom);

    // The sea as the automatic daylight shows it at that time of day.
    const int brightness = daylightAt(timeOfDay(command.at, race.daylight), race.daylight).level;
    const Rgb sea = seaColours(brightness).sea;
    QImage bitmap(command.size, QImage::Format_RGB32);
    bitmap.fill(QColor(sea.r, sea.g, sea.b));
    FrameState frame = newFrameState(race);
    FrameRequest request;
    request.now = command.at;
    request.northUp = command.northUp.value_or(race.northUp > 0);
    request.options.seaBrightness = brightness;
    request.options.sea = QColor(sea.r, sea.g, sea.b);
    const Rgb grid = seaColours(brightness).grid;
    const QImage compass = buildCompass(race.magneticVariation - (request.northUp ? 0 : race.windDirection));
    const QImage windGraph = race.windFile.isEmpty() ? QImage() : drawWindGraph(race);
    OverlayOptions &overlays = request.overlays;
    overlays.sea = request.options.sea;
    overlays.grid = QColor(grid.r, grid.g, grid.b);
    overlays.seaBrightness = brightness;
    overlays.windowHeight = command.size.height();
    overlays.laylines = command.laylines;
    overlays.compass = &compass;
    overlays.windGraph = windGraph.isNull() ? nullptr : &windGraph;
    renderFrame(bitmap, race, frame, request);

    QSaveFile file(command.output);
    if (!file.open(QIODevice::WriteOnly) || !bitmap.save(&file, "PNG") || !file.commit()) {
        printError(QStringLiteral("%1: %2").arg(command.output, file.errorString()));
        return kExitError;
    }
    return 0;
}

}  // namespace keelrun
