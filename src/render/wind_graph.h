#pragma once
// The wind graph: a small picture of the true wind direction over the race
// window, time running upwards, direction across, scaled to the spread of
// the recorded directions.

#include <QImage>

#include "model/race_state.h"

namespace keelrun {

inline constexpr QSize kWindGraphSize(100, 120);

// The time grid's step in seconds: 5 minutes, coarser for long windows so
// that at most 15 lines are drawn.
int windGraphTimeStep(double windowSeconds);

// The wind graph of the race's wind records (the bare grid without records).
QImage drawWindGraph(const RaceState &race);

}  // namespace keelrun
