#pragma once
// The course diagram: what the map shows while the replay is stopped. Every
// shown boat's whole track, the marks and lines, the boats where they are at
// the race clock, the compass and the time of day, at the stopped map's own
// centre and zoom.

#include <vector>

#include <QColor>
#include <QImage>

#include "model/race_state.h"
#include "view/map_view.h"

namespace keelrun {

struct CourseDiagramRequest {
    MapView view;              // courseDiagramView(...)
    double now = 0;            // race clock
    std::vector<bool> shown;   // [b]: ticked in the boat list; empty: as the race file says
    bool names = true;         // "Boat Name"
    bool speedColours = false; // "Speed Colours": the tracks in the colours of their speeds, with the legend
    QColor sea = QColor(110, 160, 255);
    const QImage *compass = nullptr;
};

// Draws the diagram over the whole of `bitmap`.
void drawCourseDiagram(QImage &bitmap, const RaceState &race, const CourseDiagramRequest &request);

// One boat's whole track over the diagram, haloed in white: the boat the
// pointer rests on in the boat list.
void highlightTrack(QImage &picture, const RaceState &race, int boat, const MapView &view);

}  // namespace keelrun
