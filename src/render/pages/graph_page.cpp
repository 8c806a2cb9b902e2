#include "render/pages/graph_page.h"

#include "render/pages/page_texts.h"

#include <cmath>

#include <QPainter>

#include "base/numbers.h"
#include "race/manoeuvres.h"
#include "render/drawn_fixes.h"
#include "render/painting.h"
#include "render/pages/thin_trace.h"

namespace keelrun {
namespace {

const QColor kFrameFill(225, 225, 255);
const QColor kHourLine(142, 142, 225);
const QColor kFaintLine(192, 192, 225);
const QColor kTenDegreeLine(162, 162, 225);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

bool inWindow(const RaceState &race, double t) { return race.windowStart <= t && t <= race.windowEnd; }

class GraphPainter {
public:
    GraphPainter(QImage &page, const RaceState &race, const PageRequest &request)
        : page_(page), p_(&page), race_(race), request_(request), axes_(race, page.width(), request.clientHeight),
          width_(page.width())
    {
        setPageFont(p_);
    }

    void draw()
    {
        p_.fillRect(QRect(QPoint(0, 0), QSize(width_, p_.device()->height())), request_.sea);
        if (race_.ctMode > 0)
            drawCorrectedTimeNote(p_, width_, request_.language);
        drawFrames();
        drawTimeGrid();
        writeOpaque(p_, {60, GraphAxes::kTop - 14}, pageText(PageText::CourseAndWind, request_.language), Qt::white, request_.sea);
        drawDirectionGrid();
        drawBoatTraces(courseTrace);
        drawWindDirection();
        drawSpeedGrid();
        drawBoatTraces(speedTrace);
    }

private:
    int bottom() const { return GraphAxes::kTop + axes_.height; }

    void drawFrames()
    {
        p_.setPen(Qt::black);
        p_.setBrush(kFrameFill);
        const int top = GraphAxes::kTop - 1, bottomEdge = bottom() + 2;
        p_.drawRect(QRect(QPoint(GraphAxes::kLeft1 - 1, top), QPoint(GraphAxes::kLeft1 + axes_.width1 + 1, bottomEdge)));
        p_.drawRect(QRect(QPoint(axes_.left2 - 1, top), QPoint(axes_.left2 + axes_.width2 + 1, bottomEdge)));
        p_.setBrush(Qt::NoBrush);
    }

    // Lines every few minutes from the gun, the gun's own in red.
    void drawTimeGrid()
    {
        const int step = timeGridStep(race_.windowLength);
        const int lines = roundHalfEven(race_.windowLength / step) + 1;
        for (int i = 0; i <= lines; ++i) {
            const double t = double(i) * step;
            const int y = axes_.y(t);
            if (y <= GraphAxes::kTop)
                continue;
            const QColor pen = i == 0 ? kRed : (i * step) % 3600 == 0 ? kHourLine : kFaintLine;
            writeOpaque(p_, {10, y - 4}, graphTimeLabel(t), Qt::white, request_.sea);
            p_.setPen(pen);
            p_.drawLine(GraphAxes::kLeft1, y, GraphAxes::kLeft1 + axes_.width1, y);
            p_.drawLine(axes_.left2, y, axes_.left2 + axes_.width2, y);
        }
    }

    void drawDirectionGrid()
    {
        for (int i = 0; i < 36; ++i) {
            const int d = 10 * i;
            const int x = axes_.xDirection(d);
            p_.setPen(i % 3 == 0 ? kTenDegreeLine : kFaintLine);
            p_.drawLine(x, GraphAxes::kTop, x, bottom());
            if (i % 3 == 0) {
                const QString label = QString::number(d);
                writeOpaque(p_, {x - 3 * int(label.size()), bottom() + 5}, label, Qt::white, request_.sea);
            }
        }
    }

    // Without wind records, the wind read from the fleet's tacks and gybes,
    // dashed in orange and said to be an estimate.
    void drawWindDirection()
    {
        const WindDirections directions = analysisWindDirections(race_);
        if (!directions.estimated) {
            p_.setPen(QPen(kRed, 3));
            drawTrace(p_, windDirectionTrace(axes_, race_, directions));
            return;
        }
        p_.setPen(QPen(kEstimatedWind, 3, Qt::DashLine));
        drawTrace(p_, windDirectionTrace(axes_, race_, directions));
        writeOpaque(p_, {GraphAxes::kLeft1 + 5, GraphAxes::kTop + 5}, pageText(PageText::EstimatedWind, request_.language),
                    kEstimatedWind, QColor(225, 225, 255));
    }

    // The speed scale in knots of boat speed and, with wind speeds, a second
    // one of two knots of wind a division.
    void drawSpeedGrid()
    {
        writeOpaque(p_, {axes_.left2 + 60, GraphAxes::kTop - 14}, pageText(PageText::BoatSpeed, request_.language), Qt::white,
                    request_.sea);
        writeOpaque(p_, {axes_.left2, bottom() + 5}, QStringLiteral("BSP"), Qt::white, request_.sea);
        const bool windScale = race_.maxWindSpeed > 0;
        if (windScale)
            writeOpaque(p_, {axes_.left2, bottom() + 19}, QStringLiteral("TWS"), kBlue, request_.sea);
        const int labelStep = axes_.speedLabelStep(), lineStep = axes_.speedLineStep();
        for (int k = lineStep; k <= axes_.speedScale; k += lineStep) {
            const int x = axes_.xSpeed(k);
            p_.setPen(kFaintLine);
            p_.drawLine(x, GraphAxes::kTop, x, bottom());
            if (k % labelStep != 0 || x - axes_.left2 < 20)
                continue;  // not between the labels, nor over "BSP" and "TWS"
            const QString boat = QString::number(k);
            writeOpaque(p_, {x - 3 * int(boat.size()), bottom() + 5}, boat, Qt::white, request_.sea);
            if (windScale) {
                const QString wind = QString::number(2 * k);
                writeOpaque(p_, {x - 3 * int(wind.size()), bottom() + 19}, wind, kBlue, request_.sea);
            }
        }
    }

    // The ticked boats' curves, the last boat first so that boat 1 ends on
    // top, straight into the page's memory while the painter rests.
    void drawBoatTraces(Trace (*trace)(const GraphAxes &, const RaceState &, int))
    {
        p_.end();
        for (int b = race_.boatCount; b >= 1; --b) {
            if (request_.shows(race_, b))
                drawThinTrace(page_, trace(axes_, race_, b), toQColor(race_.boats[b].colour).rgb());
        }
        p_.begin(&page_);
        setPageFont(p_);
    }

    QImage &page_;
    QPainter p_;
    const RaceState &race_;
    const PageRequest &request_;
    GraphAxes axes_;
    int width_;
};

}  // namespace

void setPageFont(QPainter &p)
{
    QFont font = p.font();
    font.setPixelSize(10);
    p.setFont(font);
}

void drawCorrectedTimeNote(QPainter &p, int pageWidth, Language language)
{
    const QString note = pageText(PageText::CorrectedTimeNote, language);
    writeOpaque(p, {(pageWidth - p.fontMetrics().horizontalAdvance(note)) / 2, 4}, note, Qt::white, kRed);
}

void drawTrace(QPainter &p, const Trace &trace)
{
    for (const QPolygon &piece : trace)
        p.drawPolyline(piece);
}

namespace {

void extend(QPolygon &piece, QPoint at)
{
    if (piece.isEmpty() || piece.constLast() != at)
        piece.append(at);
}

// A new piece of a boat's trace after a gap in its track: nothing is known
// of its course or speed while its logger was off.
// The fixes a trace is drawn through, a new piece after each gap in the
// track: at most one a second, as a row of these graphs spans many seconds.
template <typename Fix>
void forEachTracedFix(const BoatEntry &entry, Trace &trace, Fix &&fix)
{
    const int stride = entry.fixInterval > 0 && entry.fixInterval < 1 ? static_cast<int>(std::lround(1 / entry.fixInterval)) : 1;
    forEachDrawnFix(
        entry, stride,
        [&] {
            if (!trace.back().isEmpty())
                trace.emplace_back();
        },
        fix);
    if (trace.size() > 1 && trace.back().isEmpty())
        trace.pop_back();  // a gap with nothing drawn after it
}

}  // namespace

Trace courseTrace(const GraphAxes &axes, const RaceState &race, int boat)
{
    const BoatEntry &entry = race.boats[boat];
    const int left = GraphAxes::kLeft1, right = GraphAxes::kLeft1 + axes.width1;
    Trace trace(1);
    forEachTracedFix(entry, trace, [&](int i) {
        const TrackSample &s = entry.samples[i];
        if (!inWindow(race, s.time))
            return;
        const QPoint at(axes.xDirection(s.heading - race.magneticVariation), axes.y(s.time));
        QPolygon &piece = trace.back();
        if (!piece.isEmpty() && std::abs(at.x() - piece.constLast().x()) * 2 > axes.width1) {
            // Across the seam: out at one edge, back in at the other.
            const int middle = roundHalfEven((piece.constLast().y() + at.y()) / 2.0);
            const bool rightwards = piece.constLast().x() < at.x();
            extend(piece, {rightwards ? left : right, middle});
            trace.push_back(QPolygon{{rightwards ? right : left, middle}});
        }
        extend(trace.back(), at);
    });
    return trace;
}

Trace windDirectionTrace(const GraphAxes &axes, const RaceState &race, const WindDirections &directions)
{
    QPolygon trace;
    for (const WindEstimate &w : directions.points) {
        if (inWindow(race, w.time))
            trace.append({axes.xDirection(w.twd), axes.y(w.time)});
    }
    return {trace};
}

// Wind speeds at half scale, so that the speed graph's second scale reads
// two knots of wind a division; from the window's start on.
Trace windSpeedTrace(const GraphAxes &axes, const RaceState &race)
{
    QPolygon trace;
    for (int i = 1; i <= race.windSampleCount(); ++i) {
        const WindSample &w = race.windSamples[i];
        if (w.time >= race.windowStart)
            trace.append({axes.xSpeed(w.tws / 2), axes.y(w.time)});
    }
    return {trace};
}

Trace speedTrace(const GraphAxes &axes, const RaceState &race, int boat)
{
    const BoatEntry &entry = race.boats[boat];
    Trace trace(1);
    forEachTracedFix(entry, trace, [&](int i) {
        const TrackSample &s = entry.samples[i];
        if (inWindow(race, s.time))
            extend(trace.back(), {axes.xSpeed(s.speed), axes.y(s.time)});
    });
    return trace;
}

void drawGraphPage(QImage &page, const RaceState &race, const PageRequest &request)
{
    GraphPainter(page, race, request).draw();
}

}  // namespace keelrun
