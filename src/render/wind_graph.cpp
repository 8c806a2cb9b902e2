#include "render/wind_graph.h"

#include <algorithm>

#include <QPainter>
#include <QPolygon>

#include "base/numbers.h"
#include "race/manoeuvres.h"
#include "race/plane.h"
#include "render/painting.h"

namespace keelrun {
namespace {

const QColor kGridPen(192, 192, 225);
constexpr double kPlot = 90;  // the plot square, from (5, 5) to (95, 95)

// The middle of the recorded directions, across north, and their spread
// with ten degrees either side.
struct DirectionScale {
    double centre = 0;
    double span = 20;
};

DirectionScale scaleOf(const std::vector<WindEstimate> &points)
{
    const std::size_t n = points.size();
    const double reference = points[std::max(1, roundHalfEven(static_cast<double>(n) / 2)) - 1].twd;
    double hi = -500, lo = 500;
    for (const WindEstimate &w : points) {
        const double d = signedAngle(w.twd - reference);
        hi = std::max(hi, d);
        lo = std::min(lo, d);
    }
    DirectionScale scale;
    scale.centre = signedAngle(reference + (hi + lo) / 2);
    double hi2 = -500, lo2 = 500;
    for (const WindEstimate &w : points) {
        const double d = signedAngle(w.twd - scale.centre);
        hi2 = std::max(hi2, d);
        lo2 = std::min(lo2, d);
    }
    scale.span = (hi2 + 10) - (lo2 - 10);
    return scale;
}

int xOf(double direction, const DirectionScale &scale)
{
    return roundHalfEven(signedAngle(direction - scale.centre) / scale.span * kPlot + 50);
}

}  // namespace

int windGraphTimeStep(double d)
{
    int step = 300;
    for (const int coarser : {600, 1800, 3600, 7200, 18000}) {
        if (d / step > 15)
            step = coarser;
    }
    return step;
}

QImage drawWindGraph(const RaceState &race)
{
    QImage image(kWindGraphSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(image.rect(), QColor(0, 128, 0));
    p.setPen(kGridPen);
    p.setBrush(QColor(0, 128, 0));
    p.drawRect(QRect(QPoint(5, 5), QPoint(95, 95)));

    const double d = std::max(race.windowEnd - race.windowStart, 1.0);
    auto yOf = [&](double time) { return roundHalfEven(95 - (time - race.windowStart) * kPlot / d); };
    const int step = windGraphTimeStep(d);
    for (int k = 0; k < roundHalfEven(race.windowEnd / step); ++k) {
        const int y = yOf(k * double(step));
        p.drawLine(5, y, 95, y);
    }
    const WindDirections directions = analysisWindDirections(race);
    if (directions.points.empty())
        return image;

    const DirectionScale scale = scaleOf(directions.points);
    for (int i = 0; i < 36; ++i) {
        const int x = xOf(10.0 * i, scale);
        if (x > 5 && x < 95)
            p.drawLine(x, 5, x, 95);
    }
    QPolygon line;
    for (const WindEstimate &w : directions.points)
        line << QPoint(xOf(w.twd, scale), yOf(w.time));
    p.setPen(directions.estimated ? kEstimatedWind : QColor(0, 255, 225));
    p.drawPolyline(line);
    if (directions.estimated) {
        p.setFont(QFont(p.font().family(), 7));
        p.drawText(QRect(QPoint(6, 6), QPoint(94, 20)), Qt::AlignRight | Qt::AlignTop, QStringLiteral("est."));
    }
    return image;
}

}  // namespace keelrun
