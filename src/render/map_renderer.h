#pragma once
// Draws the Track page's map for one instant: the fleet with wakes, labels,
// hulls and sails over the sea, framed by the view that follows the fleet.

#include <array>

#include <QColor>
#include <QImage>
#include <QPolygon>

#include "render/map_overlays.h"
#include "replay/frame_state.h"

class QPainter;

namespace keelrun {

// How the boats are drawn, from the check boxes, the pointer tools and the
// playback.
struct RenderOptions {
    int labelLevel = 1;          // 0 none, 1 names, 2 names and speeds, 3 with the two-boat difference
    bool showHidden = false;     // draw unticked boats' hulls too
    bool fastWakes = false;      // red wakes for boats faster than the fleet
    bool windArrowsShown = false;
    bool blinkNames = false;
    bool blinkOn = false;
    bool bigBoats = false;       // "Boat Size": at least 14 pixels
    bool comparisonLines = false;
    bool speedColours = false;   // "Speed Colours": each stretch of a wake in the colour of its speed, white and red aside
    int seaBrightness = 100;
    QColor sea = QColor(110, 160, 255);
    int hoveredBoat = 0;
    int selectedBoat = 0;
    double upwindMeanSpeed = 10000;    // knots; fleet means for fast wakes
    double downwindMeanSpeed = 10000;
};

// The boat symbol: points 1..8 outline the hull (bow up, in percent of the
// boat size), point 9 is the mast foot.
using HullOutline = std::array<QPointF, 10>;
HullOutline hullOutlineFor(double boatLength);

// The boat symbol placed on the screen: at `pixel`, turned by `degrees`
// (clockwise from screen up), `size` pixels long.
class PlacedHull {
public:
    PlacedHull(QPoint pixel, double degrees, int size);
    // A point of the outline (in percent of the boat size) on the screen.
    QPoint at(QPointF outlinePoint) const;
    // The hull, points 1..8 of the outline.
    QPolygon polygon(const HullOutline &outline) const;

private:
    QPoint pixel_;
    double cos_, sin_;
    int size_;
};

// The boat's length at map scale in whole pixels, never below 6 (14 with
// "Boat Size").
int boatSizeFor(double latScale, double boatLength, bool bigBoats);

// Draws the computed frame on `bitmap`, which the caller has filled with
// the sea: the overlays under the boats, the boats, the race clock. Draws
// nothing when no boat is in play.
void drawMapFrame(QImage &bitmap, const RaceState &race, const FrameState &frame, const RenderOptions &options,
                  const OverlayOptions &overlays);

// The boat layers alone, for a view already fitted; their labels keep
// clear of those already in `labels`.
void drawBoats(QPainter &painter, LabelPlacer &labels, const RaceState &race, const FrameState &frame, const MapView &view,
               const RenderOptions &options);

}  // namespace keelrun
