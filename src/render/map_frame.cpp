#include "render/map_frame.h"

#include "render/painting.h"
#include "render/wind_graph.h"
#include "view/sliders.h"
#include "view/window_layout.h"

namespace keelrun {

MapPictures mapPictures(const RaceState &race, bool northUp)
{
    // The compass shows magnetic north: up on a north-up map, turned away
    // from the mean wind on a wind-up one.
    return {buildCompass(race.magneticVariation - (northUp ? 0 : race.windDirection)),
            race.windFile.isEmpty() && race.estimatedWind.empty() ? QImage() : drawWindGraph(race)};
}

MapFrameRequest mapFrameRequest(const DisplayChoices &choices, const PlaybackClock &clock, const MapPictures &pictures)
{
    MapFrameRequest r;
    r.frame.now = clock.raceClock;
    r.frame.autoTrace = choices.autoTrace;
    r.frame.northUp = choices.northUp;
    r.frame.zoomDivisor = zoomDivisorForSlider(choices.zoomSlider);
    r.frame.mapSize = choices.mapSize;
    r.frame.shown = choices.shown;

    const SeaColours colours = seaColours(choices.seaBrightness);
    RenderOptions &o = r.boats;
    o.labelLevel = choices.labelLevel;
    o.blinkOn = clock.blinkOn;
    o.bigBoats = choices.bigBoats;
    o.comparisonLines = choices.comparisonLines;
    o.speedColours = choices.speedColours;
    o.seaBrightness = choices.seaBrightness;
    o.sea = toQColor(colours.sea);
    o.upwindMeanSpeed = clock.upwindMeanSpeed;
    o.downwindMeanSpeed = clock.downwindMeanSpeed;
    o.showHidden = choices.showHidden;
    o.fastWakes = choices.fastWakes;
    o.windArrowsShown = choices.windArrowsShown;
    o.blinkNames = choices.blinkNames;
    o.hoveredBoat = choices.hoveredBoat;
    o.selectedBoat = choices.selectedBoat;

    OverlayOptions &overlays = r.overlays;
    overlays.sea = o.sea;
    overlays.grid = toQColor(colours.grid);
    overlays.seaBrightness = choices.seaBrightness;
    overlays.windowHeight = choices.windowHeight;
    overlays.laylines = choices.laylines;
    overlays.labelLevel = choices.labelLevel;
    overlays.compass = &pictures.compass;
    overlays.windGraph = pictures.windGraph.isNull() ? nullptr : &pictures.windGraph;
    overlays.night = choices.night;
    overlays.lights = choices.lights;
    overlays.zoomDivisor = r.frame.zoomDivisor;
    return r;
}

}  // namespace keelrun
