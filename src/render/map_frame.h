#pragma once
// One map frame as the Track page shows it: the user's display choices turn
// into what the frame is computed for and how it is drawn. The window and
// `keelrun --render` build their frames here, so both draw the same picture.

#include <vector>

#include <QImage>
#include <QSize>

#include "render/map_overlays.h"
#include "render/map_renderer.h"
#include "replay/frame_state.h"
#include "replay/playback_clock.h"

namespace keelrun {

// The choices behind a frame, from the window's controls or the command line.
struct DisplayChoices {
    bool autoTrace = true;         // "Auto Trace"
    bool northUp = true;           // north up, else the mean wind up
    int zoomSlider = 100;          // ZOOM, 0..100
    int seaBrightness = 100;       // the sea colour slider, 0..100
    bool laylines = false;         // "Layline"
    int labelLevel = 1;            // "Boat Name": 1 names, 0 none
    bool bigBoats = false;         // "Boat Size"
    bool comparisonLines = false;  // "Comp Ht"
    bool speedColours = false;     // "Speed Colours"
    int windowHeight = 1024;       // the main window's, which sets the grid's spacing
    QSize mapSize{1, 1};
    std::vector<bool> shown;       // [b]: ticked in the boat list; empty: as the race file says
    int hoveredBoat = 0;           // under the pointer in the boat list, ringed with its name and speed
    int selectedBoat = 0;          // highlighted with Shift + click, ringed in red
    bool showHidden = false;       // the pointer tools: unticked boats' hulls,
    bool fastWakes = false;        // red wakes for the fast boats,
    bool windArrowsShown = false;  // each boat's wind arrow,
    bool blinkNames = false;       // names blinking when no labels show
    bool night = false;            // the time of day is outside sunrise to sunset
    const LightClock *lights = nullptr;  // the lights' phases
};

// The pictures a frame shows that change only with the race and the
// orientation: the compass, turned with the map, and the wind graph.
struct MapPictures {
    QImage compass;
    QImage windGraph;  // null without wind records or the fleet's wind
};
MapPictures mapPictures(const RaceState &race, bool northUp);

struct MapFrameRequest {
    FrameRequest frame;
    RenderOptions boats;
    OverlayOptions overlays;
};

// The frame at the clock's time. The request points into `pictures`, which
// must outlive it.
MapFrameRequest mapFrameRequest(const DisplayChoices &choices, const PlaybackClock &clock, const MapPictures &pictures);

}  // namespace keelrun
