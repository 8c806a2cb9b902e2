#pragma once
// What the pages show while the pointer moves over the boat list, drawn on
// a copy of the page so that the page itself stays clean: the wind trace
// on the Graph page, the hovered boat's curves drawn thick with its name,
// and on the Analysis page the hovered boat's figures spelt out.

#include <QImage>

#include "model/race_state.h"
#include "render/pages/analysis_page.h"
#include "render/pages/graph_axes.h"

namespace keelrun {

// The true wind direction over the race window and, with wind speeds, the
// wind speed at half scale on the speed graph; nothing without wind records.
void drawWindTrace(QImage &picture, const RaceState &race, const GraphAxes &axes);
void drawGraphHover(QImage &picture, const RaceState &race, const GraphAxes &axes, int boat);
// A ringed dot and " name  D m / T sec / V kts" at each of the boat's dots.
void drawAnalysisHover(QImage &picture, const RaceState &race, const FigurePoints &points, int boat);

}  // namespace keelrun
