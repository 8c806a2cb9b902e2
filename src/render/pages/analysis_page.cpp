#include "render/pages/analysis_page.h"

#include <cmath>

#include <QPainter>

#include "base/numbers.h"
#include "base/text_file.h"
#include "race/plane.h"
#include "render/map_overlays.h"
#include "render/pages/page_texts.h"
#include "render/painting.h"

namespace keelrun {
namespace {

const QColor kTitleGreen(0, 128, 0);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kGrid(192, 192, 192);
// Lines of constant speed are drawn up to 60 knots, in tenths.
constexpr int kFastestIsoSpeed = 600;
// Pixels under the top of a figure where the time axis's name stands.
constexpr int kAxisNameClearance = 14;


constexpr PageText kTitles[kFigureCount] = {PageText::WholeRaceFigure, PageText::UpwindFigure, PageText::DownwindFigure};

// A boat gets a dot when it sailed the figure's legs; it sets the axes only
// when ticked and, but for the downwind figure, when it started.
bool hasDot(const RaceState &race, int b, Figure figure)
{
    const FigureValue v = figureValue(race, b, figure);
    return v.distance > 0 && (figure == WholeRace ? v.time < kLastPassableTime : v.time > 0);
}

bool countsForAxes(const RaceState &race, const PageRequest &request, int b, Figure figure)
{
    const bool started = figure == DownwindLegs || race.boats[b].roundingTime[1] < 99999;
    return hasDot(race, b, figure) && request.shows(race, b) && started;
}

struct Range {
    double min = 10000000, max = 0;
    void take(double v)
    {
        min = std::min(min, v);
        max = std::max(max, v);
    }
    double mid() const { return (max + min) / 2; }
    // At least 100 wide, about the same middle.
    void widen()
    {
        if (max - min < 100) {
            const double m = mid();
            min = m - 50;
            max = m + 50;
        }
    }
};

// One figure in its quarter of the page: its data fill 60 % of the quarter,
// its plot 80 %.
class FigurePainter {
public:
    FigurePainter(QPainter &p, const RaceState &race, const PageRequest &request, Figure figure, QPoint origin, QSize half)
        : p_(p), race_(race), request_(request), figure_(figure), origin_(origin), half_(half),
          plot_(QPoint(origin.x() + roundHalfEven(0.1 * half.width()), origin.y() + roundHalfEven(0.1 * half.height())),
                QSize(roundHalfEven(0.8 * half.width()), roundHalfEven(0.8 * half.height()))),
          dataSize_(roundHalfEven(0.6 * half.width()), roundHalfEven(0.6 * half.height()))
    {
    }

    // False when no ticked boat has a value: the figure is left out.
    bool draw(FigurePoints &points)
    {
        for (int b = 1; b <= race_.boatCount; ++b) {
            if (countsForAxes(race_, request_, b, figure_)) {
                const FigureValue v = figureValue(race_, b, figure_);
                distances_.take(v.distance);
                times_.take(v.time);
            }
        }
        if (distances_.max <= 0)
            return false;
        drawTitles();
        distances_.widen();
        times_.widen();
        drawAxes();
        drawTimeGrid();
        drawDistanceGrid();
        const int step = isoSpeedStep();
        for (int n = step; n <= kFastestIsoSpeed; n += step)
            drawIsoSpeedLine(n, n % (5 * step) == 0);
        drawDots(points);
        return true;
    }

private:
    int left() const { return plot_.x(); }
    int right() const { return plot_.x() + plot_.width(); }
    int top() const { return plot_.y(); }
    int bottom() const { return plot_.y() + plot_.height(); }
    double sx() const { return dataSize_.width() / (distances_.max - distances_.min); }
    double sy() const { return dataSize_.height() / (times_.max - times_.min); }
    int centreX() const { return roundHalfEven(left() + 0.5 * plot_.width()); }
    int centreY() const { return roundHalfEven(top() + 0.5 * plot_.height()); }
    int x(double metres) const { return roundHalfEven((metres - distances_.mid()) * sx() + centreX()); }
    int y(double seconds) const { return roundHalfEven(centreY() - (seconds - times_.mid()) * sy()); }
    // The values at the plot's edges.
    double leftDistance() const { return distances_.mid() - (distances_.mid() - distances_.min) * plot_.width() / dataSize_.width(); }
    double rightDistance() const { return distances_.mid() + (distances_.max - distances_.mid()) * plot_.width() / dataSize_.width(); }
    double bottomTime() const { return times_.mid() - (times_.mid() - times_.min) * plot_.height() / dataSize_.height(); }
    double topTime() const { return times_.mid() + (times_.max - times_.mid()) * plot_.height() / dataSize_.height(); }

    // Centred from the font's real widths.
    int centred(const QString &text) const { return origin_.x() + (half_.width() - p_.fontMetrics().horizontalAdvance(text)) / 2; }

    void drawTitles()
    {
        const QString title = pageText(kTitles[figure_], request_.language);
        writeOpaque(p_, {centred(title), top() - 20}, title, Qt::white, kTitleGreen);
        writeOpaque(p_, {left() - 30, top() - 5}, pageText(PageText::TimeAxis, request_.language), Qt::white, kBlue);
        const QString distance = pageText(PageText::DistanceAxis, request_.language);
        writeOpaque(p_, {centred(distance), bottom() + 18}, distance, Qt::white, kBlue);
    }

    void drawAxes()
    {
        p_.setPen(Qt::black);
        p_.drawPolyline(QPolygon{{left(), top()}, {left(), bottom()}, {right(), bottom()}});
    }

    // The whole-race figure runs its grids three steps further.
    int extraSteps() const { return figure_ == WholeRace ? 3 : 0; }

    void drawTimeGrid()
    {
        const double step = analysisGridStep(times_.max - times_.min);
        for (int i = roundHalfEven(times_.min / step); i <= roundHalfEven(times_.max / step) + extraSteps(); ++i) {
            const double value = i * step;
            const int at = y(value);
            if (at <= top() || at >= bottom())
                continue;
            p_.setPen(kGrid);
            p_.drawLine(left(), at, right(), at);
            if (at < top() + kAxisNameClearance)
                continue;  // the axis's name stands there
            // Times as the race clock shows them: 23:10, 1:02:05.
            const QString label = raceClockText(value);
            writeOpaque(p_, {left() - p_.fontMetrics().horizontalAdvance(label) - 3, at - 5}, label, Qt::black, Qt::white);
        }
    }

    void drawDistanceGrid()
    {
        const double step = analysisGridStep(distances_.max - distances_.min);
        for (int i = roundHalfEven(distances_.min / step); i <= roundHalfEven(distances_.max / step) + extraSteps(); ++i) {
            const double value = i * step;
            const int at = x(value);
            if (at <= left() || at >= right())
                continue;
            p_.setPen(kGrid);
            p_.drawLine(at, top(), at, bottom());
            if (i % 2 == 0) {
                const QString label = numberText(value);
                writeOpaque(p_, {at - p_.fontMetrics().horizontalAdvance(label) / 2, bottom() + 5}, label, Qt::black, Qt::white);
            }
        }
    }

    // Tenths of a knot between the lines of constant speed: a tenth over a
    // keelboat fleet's few knots of spread, more where the plot spans more
    // (a fast fleet's), so that it holds at most 60 of them.
    int isoSpeedStep() const
    {
        const double toTenths = 3600 / kMetresPerMinute * 10;
        const double slowest = leftDistance() / topTime(), fastest = rightDistance() / std::max(bottomTime(), 1.0);
        const double spread = (fastest - slowest) * toTenths;
        for (const int step : {1, 2, 5, 10, 20})
            if (spread / step <= 60)
                return step;
        return 50;
    }

    // The line of n tenths of a knot, T = D / speed, clipped to the plot:
    // in at the left or bottom edge, out at the top or right edge; labelled
    // lines solid, the others dotted.
    void drawIsoSpeedLine(int n, bool labelled)
    {
        const double speed = n * 0.1 * kMetresPerMinute / 3600;  // metres a second
        const int yLeft = y(leftDistance() / speed), yRight = y(rightDistance() / speed);
        const int xTop = x(speed * topTime()), xBottom = x(speed * bottomTime());
        QPoint from, to;
        if (top() < yLeft && yLeft < bottom()) {
            from = {left(), yLeft};
            to = xTop < right() ? QPoint(xTop, top()) : QPoint(right(), yRight);
        }
        else if (left() < xBottom && xBottom < right() && yRight <= bottom()) {
            from = {xBottom, bottom()};
            to = yRight < top() ? QPoint(xTop, top()) : QPoint(right(), yRight);
        }
        else {
            return;
        }
        p_.setPen(QPen(kRed, 0, labelled ? Qt::SolidLine : Qt::DotLine));
        p_.drawLine(from, to);
        if (labelled)
            writeOpaque(p_, {to.x() + 2, to.y() - 5}, numberText(n * 0.1) + QStringLiteral("kt"), kRed, Qt::white);
    }

    // Ticked boats as filled dots with their names, unticked ones hollow.
    void drawDots(FigurePoints &points)
    {
        for (int b = race_.boatCount; b >= 1; --b) {
            if (!hasDot(race_, b, figure_))
                continue;
            const FigureValue v = figureValue(race_, b, figure_);
            const QPoint at(x(v.distance), y(v.time));
            if (at.x() <= left() || at.x() >= right() || at.y() <= top() || at.y() >= bottom())
                continue;
            const bool shown = request_.shows(race_, b);
            const QColor colour = toQColor(race_.boats[b].colour);
            p_.setPen(colour);
            p_.setBrush(shown ? colour : QColor(Qt::white));
            p_.drawEllipse(QRect(at.x() - 4, at.y() - 4, 8, 8));
            p_.setBrush(Qt::NoBrush);
            points[b][figure_] = at;
            if (request_.labelLevel > 0 && shown)
                writeOpaque(p_, {at.x() + 5, at.y() - 5}, race_.boats[b].name, Qt::black, Qt::white);
        }
    }

    QPainter &p_;
    const RaceState &race_;
    const PageRequest &request_;
    Figure figure_;
    QPoint origin_;
    QSize half_;
    QRect plot_;
    QSize dataSize_;
    Range distances_, times_;
};

}  // namespace

FigureValue figureValue(const RaceState &race, int boat, Figure figure)
{
    const BoatEntry &b = race.boats[boat];
    switch (figure) {
    case WholeRace:
        return {b.legDistance[race.courseLength()], b.roundingTime[race.courseLength()]};
    case UpwindLegs:
        return {b.upwindDistance * kMetresPerMinute, b.upwindTime};
    case DownwindLegs:
        return {b.downwindDistance * kMetresPerMinute, b.downwindTime};
    }
    return {};
}

double analysisGridStep(double range)
{
    const int e = roundHalfEven(std::log10(range));
    const double q = range / std::pow(10.0, e);
    if (q > 6)
        return std::pow(10.0, e);
    if (q > 3)
        return 5 * std::pow(10.0, e - 1);
    if (q > 1.5)
        return 2 * std::pow(10.0, e - 1);
    return std::pow(10.0, e - 1);
}

FigurePoints drawAnalysisPage(QImage &page, const RaceState &race, const PageRequest &request)
{
    FigurePoints points(race.boatCount + 1);
    QPainter p(&page);
    setPageFont(p);
    p.fillRect(page.rect(), Qt::white);
    const int w = page.width(), h = page.height();
    const int banner = race.ctMode > 0 ? 20 : 0;
    if (race.ctMode > 0)
        drawCorrectedTimeNote(p, w, request.language);
    const QSize half(roundHalfEven(0.5 * w), roundHalfEven(0.5 * h));
    const int lowerHalf = roundHalfEven(0.5 * (h - banner));
    const QPoint origins[kFigureCount] = {{0, banner}, {0, lowerHalf}, {roundHalfEven(0.5 * w), lowerHalf}};
    for (int f = 0; f < kFigureCount; ++f)
        FigurePainter(p, race, request, static_cast<Figure>(f), origins[f], half).draw(points);
    return points;
}

}  // namespace keelrun
