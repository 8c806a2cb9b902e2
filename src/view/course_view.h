#pragma once
// The stopped map: the course diagram shows the whole course and every
// track at a centre and zoom the user changes by clicking. Stopping the
// replay goes back to the whole race.

#include <QPoint>
#include <QSize>

#include "model/race_state.h"
#include "view/map_view.h"

namespace keelrun {

struct CourseView {
    GeoPoint centre;  // minutes of arc
    double zoom = 1;  // times the full-race scale
};

// The middle of the race extent at zoom 1.
CourseView wholeRaceView(const RaceState &race);

// The diagram's projection: the full-race scales times the zoom, turned to
// the mean wind in wind-up.
MapView courseDiagramView(const CourseView &course, const RaceState &race, QSize map, bool northUp);

// A click on the diagram centres it on the clicked point and zooms in by 1.5
// (or out by 1.5).
CourseView clickCourseDiagram(const CourseView &course, const MapView &shown, QPoint pixel, bool zoomIn);

// The wheel over the diagram: the zoom times `factor`, the place under
// `pointer` staying under it.
CourseView zoomCourseDiagramAbout(const CourseView &course, const MapView &shown, QPoint pointer, double factor);
// A drag across the diagram from `from` to `to`: the place under `from`
// goes to `to`.
CourseView panCourseDiagram(const CourseView &course, const MapView &shown, QPoint from, QPoint to);

// A click on the overview map (pixel inside the 170 x 170 picture) centres
// the diagram there without zooming.
CourseView clickOverview(const CourseView &course, const RaceState &race, QPoint pixel, bool northUp);

}  // namespace keelrun
