#pragma once
// The Polars page: the fleet's polar diagram. Speed runs out from the pole
// and the true wind angle round it, head to wind at the top and dead
// downwind at the bottom, the port and starboard tacks folded onto the
// right-hand half. The line is the fleet's target speed, the 90th
// percentile of its steady sailing in each 5-degree bin that has fixes
// enough; where the wind records give the wind's speed, a line for each
// band of it, lighter in lighter wind. The chosen boat's own steady fixes
// stand under the lines as small dots in its colour, showing where it
// sailed below or above the fleet's best.

#include <memory>
#include <optional>

#include <QColor>
#include <QPoint>
#include <QSize>

#include "race/fleet_polars.h"
#include "render/pages/race_page.h"

namespace keelrun {

// Where the diagram stands on a page and how angles and speeds map onto it.
struct PolarAxes {
    QPoint pole;             // 0 knots
    int radius = 1;          // pixels out to the outer ring
    double ringKnots = 2;    // between two rings
    double outerKnots = 2;   // at the outer ring

    // For a page of `size` whose fastest fix made `fastestKnots`.
    PolarAxes(QSize size, double fastestKnots);
    // The point `knots` out from the pole at `twa` degrees off the wind.
    QPoint at(double twa, double knots) const;
};

// The target line's colour: of the band `band` of `bands` (lighter wind
// lighter), or with no bands the fleet's one line.
QColor targetLineColour(std::optional<int> band, int bands);

std::unique_ptr<RacePage> makePolarsPage();

}  // namespace keelrun
