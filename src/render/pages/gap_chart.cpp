#include "render/pages/gap_chart.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "base/numbers.h"
#include "render/map_overlays.h"
#include "render/pages/analysis_page.h"
#include "render/painting.h"

namespace keelrun {
namespace {

const QColor kGrid(200, 200, 200);
const QColor kItem(120, 120, 120);
constexpr int kMinLabelGap = 80;  // pixels between the time axis's labels at least

// The race clock's step along the time axis: the shortest of 1, 2, 5, 10,
// 15, 20 and 30 minutes and 1 hour that keeps its labels apart.
double timeStep(const GapChartAxes &axes)
{
    for (const double minutes : {1, 2, 5, 10, 15, 20, 30, 60}) {
        if (axes.x(axes.fromTime + minutes * 60) - axes.x(axes.fromTime) >= kMinLabelGap)
            return minutes * 60;
    }
    return 3600;
}

QString chartTitle(Language language)
{
    return isJapanese(language) ? QStringLiteral(u" 先頭艇との差（コースに沿って、m） ")
                                : QStringLiteral(" Behind the leader along the course (m) ");
}

class GapChartPage : public RacePage {
public:
    QString title(Language language) const override
    {
        return isJapanese(language) ? QStringLiteral(u"先頭との差") : QStringLiteral("Gaps");
    }

    void draw(QImage &picture, const RaceState &race, const PageRequest &request) override
    {
        progress_ = request.courseProgressOf(race);
        request_ = request;
        const GapChartAxes axes(picture.size(), race, progress_, request);
        picture.fill(Qt::white);
        QPainter p(&picture);
        drawGrid(p, axes);
        drawItems(p, race, axes);
        for (int b = race.boatCount; b >= 1; --b) {
            if (!request.shows(race, b))
                continue;
            p.setPen(QPen(toQColor(race.boats[b].colour), 1));
            p.drawPolyline(gapLine(b, axes));
        }
        p.setPen(Qt::black);
        p.drawRect(axes.plot);
        writeOpaque(p, {axes.plot.left(), axes.plot.top() - 22}, chartTitle(request.language), Qt::white, QColor(0, 110, 0));
    }

    void markBoat(QImage &picture, const RaceState &race, const PageRequest &, int boat) const override
    {
        if (boat < 1 || boat >= static_cast<int>(progress_.boats.size()))
            return;
        const GapChartAxes axes(picture.size(), race, progress_, request_);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(toQColor(race.boats[boat].colour), 3));
        const QPolygon line = gapLine(boat, axes);
        p.drawPolyline(line);
        if (!line.isEmpty())
            writeOpaque(p, line.last() + QPoint(4, -6), race.boats[boat].name, Qt::black, Qt::white);
    }

    // The boat whose line runs nearest the pointer, named with its gap then.
    bool showPointer(QImage &picture, const RaceState &race, QPoint pointer, int) const override
    {
        if (progress_.times.empty())
            return false;
        const GapChartAxes axes(picture.size(), race, progress_, request_);
        if (!axes.plot.contains(pointer))
            return false;
        const double t = axes.timeAt(pointer.x());
        const auto i = std::min(static_cast<std::size_t>(std::max(0.0, t / progress_.step)), progress_.times.size() - 1);
        int nearest = 0;
        int best = 12;  // pixels
        for (int b = 1; b < static_cast<int>(progress_.boats.size()); ++b) {
            const ProgressPoint &point = progress_.boats[b][i];
            const int off = std::abs(axes.y(point.gapMetres) - pointer.y());
            if (request_.shows(race, b) && point.racing && off <= best) {
                best = off;
                nearest = b;
            }
        }
        if (nearest == 0)
            return false;
        const ProgressPoint &point = progress_.boats[nearest][i];
        QPainter p(&picture);
        const QPoint at(axes.x(progress_.times[i]), axes.y(point.gapMetres));
        p.setBrush(toQColor(race.boats[nearest].colour));
        p.setPen(Qt::black);
        p.drawEllipse(at, 4, 4);
        const QString text = QStringLiteral("%1  %2  +%3 m  +%4 s")
                                 .arg(race.boats[nearest].name, raceClockText(progress_.times[i]))
                                 .arg(roundHalfEven(point.gapMetres))
                                 .arg(roundHalfEven(point.gapSeconds));
        writeOpaque(p, at + QPoint(8, -16), text, Qt::black, QColor(255, 255, 225));
        return true;
    }

private:
    QPolygon gapLine(int boat, const GapChartAxes &axes) const
    {
        QPolygon line;
        for (std::size_t i = 0; i < progress_.times.size(); ++i) {
            const ProgressPoint &point = progress_.boats[boat][i];
            if (point.racing)
                line << QPoint(axes.x(progress_.times[i]), axes.y(point.gapMetres));
        }
        return line;
    }

    static void drawGrid(QPainter &p, const GapChartAxes &axes)
    {
        const double step = timeStep(axes);
        for (double t = std::ceil(axes.fromTime / step) * step; t <= axes.toTime; t += step) {
            p.setPen(kGrid);
            p.drawLine(axes.x(t), axes.plot.top(), axes.x(t), axes.plot.bottom());
            p.setPen(Qt::black);
            const QString label = raceClockText(t);
            p.drawText(axes.x(t) - p.fontMetrics().horizontalAdvance(label) / 2, axes.plot.bottom() + 16, label);
        }
        const double metres = analysisGridStep(axes.mostBehind);
        for (double m = 0; m <= axes.mostBehind; m += metres) {
            p.setPen(kGrid);
            p.drawLine(axes.plot.left(), axes.y(m), axes.plot.right(), axes.y(m));
            p.setPen(Qt::black);
            const QString label = QString::number(roundHalfEven(m));
            p.drawText(axes.plot.left() - p.fontMetrics().horizontalAdvance(label) - 4, axes.y(m) + 4, label);
        }
    }

    // The leader's rounding of each item after the start, its name at the top.
    static void drawItems(QPainter &p, const RaceState &race, const GapChartAxes &axes)
    {
        for (int k = 2; k <= race.courseLength(); ++k) {
            const double t = race.results.firstPassTime[k];
            if (!passed(t) || t < axes.fromTime || t > axes.toTime)
                continue;
            p.setPen(QPen(kItem, 1, Qt::DashLine));
            p.drawLine(axes.x(t), axes.plot.top(), axes.x(t), axes.plot.bottom());
            p.setPen(kItem);
            p.drawText(axes.x(t) + 3, axes.plot.top() + 12, race.course[k - 1]);
        }
    }

    CourseProgress progress_;
    PageRequest request_;
};

}  // namespace

GapChartAxes::GapChartAxes(QSize size, const RaceState &race, const CourseProgress &progress, const PageRequest &request)
    : plot(QPoint(70, 60), QPoint(size.width() - 30, size.height() - 40))
{
    if (!progress.times.empty())
        toTime = std::max(1.0, progress.times.back());
    for (int b = 1; b < static_cast<int>(progress.boats.size()); ++b) {
        if (!request.shows(race, b))
            continue;
        for (const ProgressPoint &point : progress.boats[b]) {
            if (point.racing)
                mostBehind = std::max(mostBehind, point.gapMetres);
        }
    }
}

int GapChartAxes::x(double t) const
{
    return plot.left() + roundHalfEven((t - fromTime) / (toTime - fromTime) * (plot.width() - 1));
}

int GapChartAxes::y(double metres) const { return plot.top() + roundHalfEven(metres / mostBehind * (plot.height() - 1)); }

double GapChartAxes::timeAt(int px) const { return fromTime + double(px - plot.left()) / (plot.width() - 1) * (toTime - fromTime); }

std::unique_ptr<RacePage> makeGapChartPage() { return std::make_unique<GapChartPage>(); }

}  // namespace keelrun
