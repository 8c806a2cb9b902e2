#pragma once
// Everything on the map that is not a boat: the distance grid, the wind
// arrow, the scale bar, marks and lines with their lay lines, reference
// lines or the course route, the two-boat comparison, the clocks, the
// compass and the wind strip.

#include <array>

#include <QColor>
#include <QImage>

#include "render/painting.h"
#include "replay/frame_state.h"
#include "replay/light_phases.h"
#include "view/map_view.h"

class QPainter;

namespace keelrun {

struct OverlayOptions {
    QColor sea = QColor(110, 160, 255);
    QColor grid = QColor(60, 110, 255);
    int seaBrightness = 100;
    int windowHeight = 1024;   // the main window's, which sets the grid's spacing
    bool laylines = false;     // "Layline"
    int labelLevel = 1;
    const QImage *compass = nullptr;    // built by buildCompass
    const QImage *windGraph = nullptr;  // the race's wind graph, when it has wind records
    int windGraphTop = 130;
    bool night = false;                 // the lights show at night
    const LightClock *lights = nullptr; // their phases; none: all dark
    double zoomDivisor = 1;
};

// The grid's spacing in kilometres: about a quarter of the window height,
// in steps of 0.5, 1, 2, 5 and tens, finer below 0.5 km but never under 0.1.
double gridSpacing(int windowHeight, double pxPerKm);
// The scale bar's text: "2Km", or metres below a kilometre ("300M").
QString scaleBarText(double spacing);
// How far in from the map's left edge the scale bar at its foot reaches,
// its text included: what stands beside it keeps clear of that.
int scaleBarReach(int windowHeight, double pxPerKm);

// The race clock as the map shows it: seconds, mm:ss, or h:mm:ss; large
// from a minute before the gun to 20 s after it.
QString raceClockText(double now);
bool raceClockLarge(double now);

// The centre wind arrow's length in pixels for an arrow scale `s` (20 knots
// are s long): at most 2s; half of s without a wind speed.
int windArrowLength(int s, double smoothedSpeed);

// The six dotted directions drawn from a mark: the wind axis both ways,
// then the upwind and downwind lay lines on the plus and minus sides.
std::array<double, 6> laylineFanDirections(double windAxis, int upwindAngle, int downwindAngle);

// The compass image (100 x 120): the compass rose turned by `angle` degrees.
QImage buildCompass(double angle);
// The stored compass rose picture, 83 x 83.
QImage compassRose();

// The overlays under the boats, in their drawing order; their labels take
// their room in `labels`, which the boats' labels then keep clear of.
void drawOverlaysUnderBoats(QPainter &p, LabelPlacer &labels, const RaceState &race, const FrameState &frame,
                            const MapView &view, double now, const OverlayOptions &options);
// The compass panel at the map's top left: 5 pixels in, 100 wide.
inline constexpr int kCompassRight = 105;

// The race clock, over everything.
void drawRaceClock(QPainter &p, QSize map, double now);
// How far in from the map's right edge the clock at its foot reaches at
// most: what stands beside it keeps clear of that.
int raceClockReach();

}  // namespace keelrun
