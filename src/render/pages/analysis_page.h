#pragma once
// The Analysis page: three scatter figures (the whole race, the upwind legs,
// the downwind legs) of the time each boat needed against the distance it
// sailed, over lines of constant speed. Further right sailed further, lower
// down was quicker, and the iso-speed lines give each boat's mean speed.

#include <array>
#include <vector>

#include <QImage>
#include <QPoint>

#include "model/race_state.h"
#include "render/pages/graph_page.h"

namespace keelrun {

enum Figure { WholeRace = 0, UpwindLegs = 1, DownwindLegs = 2 };
inline constexpr int kFigureCount = 3;

// Where each boat's dot stands in each figure, [b][figure]; a null point
// where no dot was drawn.
using FigurePoints = std::vector<std::array<QPoint, kFigureCount>>;

// A boat's sailed metres and needed seconds in a figure.
struct FigureValue {
    double distance = 0;
    double time = 0;
};
FigureValue figureValue(const RaceState &race, int boat, Figure figure);

// The step between grid lines over a range: 1, 2 or 5 times a power of ten.
double analysisGridStep(double range);

// Draws the page over the whole of `page` (the map's size).
FigurePoints drawAnalysisPage(QImage &page, const RaceState &race, const PageRequest &request);

}  // namespace keelrun
