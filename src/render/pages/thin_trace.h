#pragma once
// One-pixel curves drawn straight into the picture's memory. A fleet's
// course and speed over hours is millions of short segments that scribble
// over the same rows again and again; growing a run of pixels while the
// curve's next pixels touch it, and filling each run once, draws them in a
// small fraction of the time a line-by-line painter needs.

#include <vector>

#include <QImage>
#include <QPolygon>

namespace keelrun {

// Draws the polylines (each piece joined point to point) in `colour`, one
// pixel wide, clipped to the picture. Fastest when the pieces move steadily
// up or down the picture, as curves over time do.
void drawThinTrace(QImage &picture, const std::vector<QPolygon> &pieces, QRgb colour);

// The same with every point a colour of its own, colours[p][i] for point i
// of piece p: each segment is drawn in the colour of the point it starts
// from, a piece of one point in that point's.
void drawThinTrace(QImage &picture, const std::vector<QPolygon> &pieces, const std::vector<std::vector<QRgb>> &colours);

}  // namespace keelrun
