#pragma once
// The Graph page: each ticked boat's course against the true wind and its
// speed over the whole race window, time running upward. A still picture;
// it does not follow the replay.

#include <vector>

#include <QColor>
#include <QImage>
#include <QPainterPath>

#include "model/race_state.h"
#include "render/pages/graph_axes.h"

namespace keelrun {

struct PageRequest {
    int clientHeight = 0;     // the window's; the Graph page's graphs stand on it
    std::vector<bool> shown;  // [b]: ticked in the boat list; empty: as the race file says
    QColor sea;               // the Graph page's background
    int labelLevel = 1;       // the Analysis page names its dots above 0
};

// Draws the page over the whole of `page` (the map's size).
void drawGraphPage(QImage &page, const RaceState &race, const PageRequest &request);

// A boat's course in magnetic degrees, and its speed, over the race window.
// Where the course crosses the seam of the direction axis the trace runs to
// the nearer edge at the middle height and on from the other edge.
QPainterPath courseTrace(const GraphAxes &axes, const RaceState &race, int boat);
QPainterPath speedTrace(const GraphAxes &axes, const RaceState &race, int boat);

// The red banner of a corrected-time race over the pages.
void drawCorrectedTimeNote(QPainter &p, int pageWidth);

// The pages' font: about 6 pixels a character, which their layout counts on.
void setPageFont(QPainter &p);

}  // namespace keelrun
