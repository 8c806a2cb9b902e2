#include "render/pages/page_hovers.h"

#include <QPainter>

#include "base/numbers.h"
#include "base/text_file.h"
#include "race/manoeuvres.h"
#include "race/plane.h"
#include "render/painting.h"
#include "render/pages/graph_page.h"

namespace keelrun {
namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QPoint kHoverTitle(340, 18);

void writeTitle(QPainter &p, QPoint at, const QString &text)
{
    QFont font = p.font();
    font.setPointSize(12);
    p.setFont(font);
    p.setPen(kRed);
    const QFontMetrics metrics(font);
    p.drawText(at + QPoint(0, metrics.ascent()), text);
    setPageFont(p);
}

}  // namespace

void drawWindTrace(QImage &picture, const RaceState &race, const GraphAxes &axes)
{
    const WindDirections directions = analysisWindDirections(race);
    if (directions.points.empty())
        return;
    QPainter p(&picture);
    setPageFont(p);
    if (directions.estimated) {
        writeTitle(p, kHoverTitle, QStringLiteral("TWD estimated"));
        drawHaloed(p, windDirectionTrace(axes, race, directions), kEstimatedWind);
        return;
    }
    if (race.maxWindSpeed > 0) {
        writeTitle(p, kHoverTitle, QStringLiteral("TWD"));
        writeTitle(p, {roundHalfEven(picture.width() / 2.0) + 210, 18}, QStringLiteral("TWS"));
        // Inside the speed graph's frame: a wind file's records may run
        // before the race window or past the scale.
        p.setClipRect(QRect(axes.left2, GraphAxes::kTop, axes.width2 + 1, axes.height + 1));
        drawHaloed(p, windSpeedTrace(axes, race), kBlue);
        p.setClipping(false);
    }
    drawHaloed(p, windDirectionTrace(axes, race, directions), kRed);
}

void drawGraphHover(QImage &picture, const RaceState &race, const GraphAxes &axes, int boat)
{
    if (boat < 1 || boat > race.boatCount)
        return;
    QPainter p(&picture);
    writeTitle(p, kHoverTitle, race.boats[boat].name);
    const QColor colour = toQColor(race.boats[boat].colour);
    drawHaloed(p, courseTrace(axes, race, boat), colour);
    drawHaloed(p, speedTrace(axes, race, boat), colour);
}

void drawAnalysisHover(QImage &picture, const RaceState &race, const FigurePoints &points, int boat)
{
    if (boat < 1 || boat >= static_cast<int>(points.size()))
        return;
    QPainter p(&picture);
    setPageFont(p);
    const QColor colour = toQColor(race.boats[boat].colour);
    for (int f = 0; f < kFigureCount; ++f) {
        const QPoint at = points[boat][f];
        if (at.y() <= 0)
            continue;
        const FigureValue v = figureValue(race, boat, static_cast<Figure>(f));
        const double knots = std::round(v.distance / v.time * 3600 / kMetresPerMinute * 100) / 100;
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(colour);
        p.drawEllipse(at, 6, 6);
        const QString text = QStringLiteral(" %1  %2m / %3sec / %4kts")
                                 .arg(race.boats[boat].name)
                                 .arg(roundHalfEven(v.distance))
                                 .arg(roundHalfEven(v.time))
                                 .arg(numberText(knots));
        writeOpaque(p, at + QPoint(8, -6), text, Qt::white, colour);
    }
}

}  // namespace keelrun
