#include "render/map_overlays.h"

#include <algorithm>
#include <cmath>

#include <QPolygon>

#include "base/numbers.h"
#include "base/text_file.h"
#include "race/boat_colours.h"
#include "race/daylight.h"
#include "race/manoeuvres.h"
#include "race/plane.h"
#include "render/coastline_layer.h"
#include "render/painting.h"

namespace keelrun {
namespace {

// The lay-line fan: the wind axis, and the lay lines on either side.
const QColor kPlusSide = toQColor(kLaylineColours[0]);
const QColor kMinusSide = toQColor(kLaylineColours[1]);
const QColor kWindAxis = toQColor(kLaylineColours[2]);
const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);

// The scale bar, a grid spacing long, and its text above it.
constexpr int kScaleBarStart = 20;
constexpr int kScaleBarTextLeft = 50;
int scaleBarEnd(double g, double pxPerKm) { return roundHalfEven(g * pxPerKm + kScaleBarStart); }

void setFontSize(QPainter &p, int points)
{
    QFont font = p.font();
    font.setPointSize(points);
    p.setFont(font);
}

class OverlayPainter {
public:
    OverlayPainter(QPainter &p, LabelPlacer &labels, const RaceState &race, const FrameState &frame, const MapView &view,
                   double now, const OverlayOptions &o)
        : p_(p), labels_(labels), race_(race), frame_(frame), view_(view), now_(now), o_(o), w_(view.mapSize.width()), h_(view.mapSize.height())
    {
        setFontSize(p_, 9);
    }

    void draw()
    {
        const double g = gridSpacing(o_.windowHeight, view_.pxPerKm);
        if (o_.night)
            drawLightsOnMap(p_, race_.lights, view_, {o_.lights, o_.sea, o_.zoomDivisor, o_.labelLevel});
        drawGrid(g);
        if (!race_.windFile.isEmpty())
            drawWindArrow();
        drawCoastline(p_, race_.coastPoints, [this](GeoPoint point) { return QPointF(project(point)); });
        drawScaleBar(g);
        drawMarksAndLines();
        drawReferenceLinesOrRoute();
        drawComparison();
        drawAnalogueClock();
        drawCompass();
        if (o_.windGraph)
            drawWindStrip();
    }

private:
    QPoint project(GeoPoint g) const { return projectPoint(g.lat, g.lon, view_); }

    // Lines parallel to the screen edges every g kilometres, anchored on a
    // round position near the view's centre.
    void drawGrid(double g)
    {
        const double anchorLat = std::trunc(view_.centreLat / g + 0.5) * g;
        const double anchorLon = std::trunc(view_.centreLon / g + 0.5) * g;
        const QPoint anchor = projectPoint(anchorLat, anchorLon, view_);
        const double step = g * view_.pxPerKm;
        p_.setPen(QPen(o_.grid, 1));
        for (int i = 0; i <= 100 && anchor.y() + i * step <= h_; ++i) {
            const int y = roundHalfEven(anchor.y() + i * step);
            if (y > 0)
                p_.drawLine(0, y, w_, y);
        }
        for (int j = 1; j <= 100 && anchor.y() - j * step >= 0; ++j) {
            const int y = roundHalfEven(anchor.y() - j * step);
            if (y < h_)
                p_.drawLine(0, y, w_, y);
        }
        for (int i = 0; i <= 100 && anchor.x() + i * step <= w_; ++i) {
            const int x = roundHalfEven(anchor.x() + i * step);
            if (x > 0)
                p_.drawLine(x, 0, x, h_);
        }
        for (int j = 1; j <= 100 && anchor.x() - j * step >= 0; ++j) {
            const int x = roundHalfEven(anchor.x() - j * step);
            if (x < w_)
                p_.drawLine(x, 0, x, h_);
        }
    }

    // A broad arrow across the map centre blowing downwind, longer in more wind.
    void drawWindArrow()
    {
        const WindInFrame &wind = frame_.wind;
        const double n = (wind.smoothedDirection + race_.magneticVariation - (view_.northUp ? 0 : race_.windDirection)) * kDegree;
        const int s = roundHalfEven(h_ / 2.0 * 0.8);
        const int tail = roundHalfEven(s * 0.1);
        const int length = windArrowLength(s, wind.smoothedSpeed);
        const int m = roundHalfEven(s - length / 2.0);
        auto at = [&](double u, double v) {
            return QPoint(roundHalfEven(w_ / 2.0 + u * std::cos(n) + v * std::sin(n)),
                          roundHalfEven(h_ / 2.0 + u * std::sin(n) - v * std::cos(n)));
        };
        const QPolygon arrow{at(-tail, s),     at(-tail, m),    at(-2 * tail, m), at(0, s - length),
                             at(2 * tail, m), at(tail, m),     at(tail, s),      at(-tail, s)};
        p_.setPen(QPen(o_.grid, 3));
        p_.drawPolyline(arrow);
        // The arrow follows the wind smoothed over the last minutes; the
        // strip under the compass gives the wind of the moment.
        QString text = numberText(std::round(wind.smoothedDirection)) + QStringLiteral("°");
        if (wind.smoothedSpeed > 0)
            text += QStringLiteral(" %1 kn").arg(numberText(std::round(wind.smoothedSpeed * 10) / 10));
        text += QStringLiteral(" mean");
        const QPoint label = at(0, m);
        writeApart(p_, labels_, QPoint(label.x() - 20, label.y() - 4), text, kYellow, QColor(0, 0, 0, 110));
        p_.setPen(QPen(o_.grid, 1));
    }

    void drawScaleBar(double g)
    {
        const int y = h_ - 10;
        const int end = scaleBarEnd(g, view_.pxPerKm);
        p_.setPen(Qt::white);
        p_.drawLine(kScaleBarStart, y, end, y);
        p_.drawLine(kScaleBarStart, y - 5, kScaleBarStart, y + 5);
        p_.drawLine(end, y - 5, end, y + 5);
        p_.drawText(QRect(kScaleBarTextLeft, h_ - 25, 200, 20), Qt::AlignLeft | Qt::AlignTop, scaleBarText(g));
    }

    // Dotted lines from a mark along the wind axis and the lay lines of
    // the upwind and downwind angles on both tacks.
    void drawLaylineFan(QPoint from)
    {
        double c = frame_.wind.displayTwd - (view_.northUp ? 0 : race_.windDirection);
        if (c < 0)
            c += 360;
        const auto fan = laylineFanDirections(c, race_.laylineAngles[0], race_.laylineAngles[1]);
        const QColor colours[] = {kWindAxis, kWindAxis, kPlusSide, kMinusSide, kPlusSide, kMinusSide};
        for (int i = 0; i < 6; ++i) {
            p_.setPen(QPen(colours[i], 1, Qt::DotLine));
            p_.drawLine(QPointF(from), QPointF(from) + screenVector(fan[i], h_));
        }
        p_.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    }

    void drawMarksAndLines()
    {
        for (int n = 1; n <= race_.markCount; ++n) {
            const QPoint at = project({race_.marks[n].lat, race_.marks[n].lon});
            if (o_.laylines)
                drawLaylineFan(at);
            drawCourseItem(p_, labels_, at, QStringLiteral("MK%1").arg(n), o_.sea);
        }
        for (int n = 1; n <= race_.lineCount; ++n) {
            const QPoint a = project(race_.lines[n].end1), b = project(race_.lines[n].end2);
            if (o_.laylines) {
                drawLaylineFan(a);
                drawLaylineFan(b);
            }
            p_.setPen(QPen(kYellow, 1));
            p_.drawLine(a, b);
            drawCourseItem(p_, labels_, a, QStringLiteral("L%1").arg(n), o_.sea, b);
            drawCourseItem(p_, labels_, b, QStringLiteral("L%1").arg(n), o_.sea, a);
        }
    }

    void drawReferenceLinesOrRoute()
    {
        if (race_.refLineCount > 0) {
            p_.setPen(QPen(kRed, 1, Qt::DotLine));
            for (int n = 1; n <= race_.refLineCount; ++n)
                p_.drawLine(project(race_.refLines[n].end1), project(race_.refLines[n].end2));
        } else if (o_.labelLevel > 1) {
            QPolygon route;
            for (int k = 1; k <= race_.courseLength(); ++k)
                route << project(race_.legs.coursePoint[k]);
            p_.setPen(QPen(kYellow, 1, Qt::DotLine));
            p_.drawPolyline(route);
        }
        p_.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    }

    // The distance between two boats, and how far one is upwind of the other.
    void drawComparison()
    {
        if (view_.firstFocusedBoats.size() != 2 || o_.labelLevel <= 2)
            return;
        const BoatInFrame &a = frame_.boats[view_.firstFocusedBoats[0]];
        const BoatInFrame &b = frame_.boats[view_.firstFocusedBoats[1]];
        const RangeBearing rb = rangeAndBearing({a.lat, a.lon}, {b.lat, b.lon}, race_.extent.cosLat, race_.magneticVariation);
        double alpha = rb.bearing + race_.magneticVariation - frame_.wind.displayTwd;
        if (alpha > 180)
            alpha -= 180;
        if (alpha < 0)
            alpha += 180;
        const int upwind = std::abs(roundHalfEven(std::cos(alpha * kDegree) * rb.range));
        const QPoint pa = projectPoint(a.lat, a.lon, view_), pb = projectPoint(b.lat, b.lon, view_);
        p_.setPen(kYellow);
        p_.drawLine(pa, pb);
        p_.setPen(Qt::white);
        const QString text = QStringLiteral("%1m( %2m)").arg(roundHalfEven(rb.range)).arg(upwind);
        p_.drawText(QRect(roundHalfEven((pa.x() + pb.x()) / 2.0) - 35, roundHalfEven((pa.y() + pb.y()) / 2.0) - 5, 300, 20),
                    Qt::AlignLeft | Qt::AlignTop, text);
    }

    void drawHand(QPoint centre, double theta, int length, QColor colour, int width)
    {
        const QPointF direction(std::sin(theta), -std::cos(theta));
        p_.setPen(QPen(colour, width));
        p_.drawLine(QPointF(centre) - 3 * direction, QPointF(centre) + length * direction);
    }

    void drawAnalogueClock()
    {
        const double t = timeOfDay(now_, race_.daylight);
        const QPoint centre(w_ - 40, h_ - 65);
        const int k = o_.seaBrightness;
        const int grey = roundHalfEven(2.0 * k + 55);
        p_.setPen(QPen(QColor(128, 128, 128), 5));
        p_.setBrush(k > 50 ? QColor(std::min(grey, 255), std::min(grey, 255), std::min(grey, 255)) : QColor(192, 192, 55));
        p_.drawEllipse(QRect(QPoint(w_ - 70, h_ - 95), QPoint(w_ - 10, h_ - 35)));
        drawHand(centre, t * 6.28 / 12 / 3600, 18, Qt::black, 4);
        drawHand(centre, (t - 3600 * std::trunc(t / 3600)) * 6.28 / 3600, 26, QColor(128, 128, 128), 2);
        drawHand(centre, (t - 1440 * std::trunc(t / 1440)) * 6.28 / 60, 27, kRed, 1);
        const int s = roundHalfEven(t);
        const QString digital = QStringLiteral("%1:%2:%3").arg(s / 3600).arg(s / 60 % 60, 2, 10, QLatin1Char('0')).arg(s % 60, 2, 10, QLatin1Char('0'));
        p_.setPen(Qt::black);
        p_.drawText(QRect(w_ - 6 * static_cast<int>(digital.size()) - 5, h_ - 115, 200, 20), Qt::AlignLeft | Qt::AlignTop, digital);
    }

    void drawCompass()
    {
        if (o_.compass)
            p_.drawImage(QRect(5, 5, kCompassRight - 5, 120), *o_.compass);
        const QString text = QStringLiteral(" %1 ").arg(frame_.wind.direction);
        writeOpaque(p_, QPoint(57 - 3 * static_cast<int>(text.size()), 51), text, Qt::black, QColor(0, 255, 128));
        const double theta = frame_.wind.displayTwd * kDegree;
        const QPointF dot = rotatePoint(QPointF(roundHalfEven(45 * std::sin(theta)), roundHalfEven(-45 * std::cos(theta))),
                                        view_.rotation, view_.northUp);
        const QPoint at(roundHalfEven(dot.x()), roundHalfEven(dot.y()));
        p_.setPen(kRed);
        p_.setBrush(kRed);
        p_.drawEllipse(QRect(at + QPoint(51, 51), at + QPoint(59, 59)));
    }

    // The wind graph with a red line at the present time; without a wind
    // file, the wind read from the fleet, marked as estimated.
    void drawWindStrip()
    {
        const int top = o_.windGraphTop;
        p_.drawImage(5, top, *o_.windGraph);
        const double length = race_.windowEnd - race_.windowStart;
        const double share = length > 0 ? (now_ - race_.windowStart) / length : 0;
        const int y = roundHalfEven(95 - share * 90) + top;
        p_.setPen(kRed);
        p_.drawLine(5, y, o_.windGraph->width() + 5, y);
        // The wind of the moment, one item a line so that it fits the strip.
        QStringList lines;
        if (race_.windFile.isEmpty()) {
            lines << QStringLiteral("TWD %1° est.").arg(roundHalfEven(analysisWind(race_)(now_)) % 360);
        } else {
            lines << QStringLiteral("TWD %1° now").arg(frame_.wind.direction);
            if (frame_.wind.speed > 0)
                lines << QStringLiteral("TWS %1 kn").arg(numberText(frame_.wind.speed));
        }
        const int lineHeight = p_.fontMetrics().height();
        for (int k = 0; k < lines.size(); ++k)
            writeOpaque(p_, QPoint(7, top + 102 + k * lineHeight), lines[k], Qt::white, QColor(0, 128, 0));
    }

    QPainter &p_;
    LabelPlacer &labels_;
    const RaceState &race_;
    const FrameState &frame_;
    const MapView &view_;
    double now_;
    const OverlayOptions &o_;
    int w_, h_;
};

}  // namespace

double gridSpacing(int windowHeight, double pxPerKm)
{
    const double t = std::trunc(windowHeight / pxPerKm * 10);
    const double q = roundHalfEven(t / 4) / 10.0;
    double g = q;
    if (q > 0.5 && q <= 1)
        g = 0.5;
    else if (q > 1 && q <= 2)
        g = 1;
    else if (q > 2 && q <= 5)
        g = 2;
    else if (q > 5 && q <= 10)
        g = 5;
    else if (q > 10)
        g = std::trunc(q / 10) * 10;
    return std::max(g, 0.1);
}

QString scaleBarText(double g)
{
    return g >= 1 ? numberText(g) + QStringLiteral("Km") : numberText(std::round(g * 1000)) + QStringLiteral("M");
}

int scaleBarReach(int windowHeight, double pxPerKm)
{
    const double g = gridSpacing(windowHeight, pxPerKm);
    QImage device(1, 1, QImage::Format_RGB32);
    QPainter p(&device);
    setFontSize(p, 9);
    return std::max(scaleBarEnd(g, pxPerKm), kScaleBarTextLeft + p.fontMetrics().horizontalAdvance(scaleBarText(g)));
}

QString raceClockText(double now)
{
    const int n = std::abs(roundHalfEven(now));
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    if (n <= 59)
        return QString::number(n);
    if (n <= 3000)
        return two(n / 60) + QLatin1Char(':') + two(n % 60);
    return QString::number(n / 3600) + QLatin1Char(':') + two(n / 60 % 60) + QLatin1Char(':') + two(n % 60);
}

bool raceClockLarge(double now) { return now >= -60 && now <= 20; }

int windArrowLength(int s, double smoothedSpeed)
{
    const int length = smoothedSpeed > 0 ? roundHalfEven(s * smoothedSpeed / 20) : roundHalfEven(s * 0.5);
    return std::min(length, 2 * s);
}

std::array<double, 6> laylineFanDirections(double c, int up, int down)
{
    return {c + 180, c, c + up - 180, c - up + 180, c + down - 180, c - down + 180};
}

QImage compassRose()
{
    QImage rose(83, 83, QImage::Format_RGB32);
    rose.fill(Qt::black);
    QPainter p(&rose);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(41.5, 41.5);
    p.setPen(QPen(QColor(200, 200, 200), 1));
    p.setBrush(QColor(20, 30, 60));
    p.drawEllipse(c, 40, 40);
    for (int d = 0; d < 360; d += 10) {
        const QPointF dir(std::sin(d * kDegree), -std::cos(d * kDegree));
        p.drawLine(c + dir * (d % 90 == 0 ? 30 : 35), c + dir * 39);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawPolygon(QPolygonF{c + QPointF(0, -29), c + QPointF(-5, 0), c + QPointF(5, 0)});
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF{c + QPointF(0, 29), c + QPointF(-5, 0), c + QPointF(5, 0)});
    QFont font = p.font();
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(c.x() - 6, 9, 12, 11), Qt::AlignCenter, QStringLiteral("N"));
    return rose;
}

QImage buildCompass(double angle)
{
    QImage compass(100, 120, QImage::Format_RGB32);
    compass.fill(Qt::black);
    const QImage rose = compassRose();
    const int w = rose.width();
    if (angle < 0)
        angle += 360;
    if (angle == 0) {
        QPainter(&compass).drawImage(50 - w / 2, 50 - w / 2, rose);
    } else {
        // Turn the rose clockwise about the compass centre, pixel by pixel.
        const double a = angle * kDegree, c = std::cos(a), s = std::sin(a);
        for (int j = 0; j < w; ++j) {
            for (int i = 0; i < w; ++i) {
                const double di = i - w / 2.0, dj = j - w / 2.0;
                if (di * di + dj * dj >= w * w / 4.0)
                    continue;
                const int x = roundHalfEven(di * c - dj * s + 50), y = roundHalfEven(di * s + dj * c + 50);
                for (int below = 0; below <= 1; ++below) {
                    if (compass.rect().contains(x, y + below))
                        compass.setPixel(x, y + below, rose.pixel(i, j));
                }
            }
        }
    }
    QPainter p(&compass);
    setFontSize(p, 9);
    p.setPen(Qt::white);
    p.drawText(QRect(5, 103, 95, 16), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("keelrun"));
    return compass;
}

void drawOverlaysUnderBoats(QPainter &p, LabelPlacer &labels, const RaceState &race, const FrameState &frame,
                            const MapView &view, double now, const OverlayOptions &options)
{
    OverlayPainter(p, labels, race, frame, view, now, options).draw();
}

namespace {
constexpr int kClockPoints = 15;
constexpr int kClockMargin = 5;
}  // namespace

// At the foot of the map the clock stands against the right edge, as wide as
// its text in the font it is drawn in.
void drawRaceClock(QPainter &p, QSize map, double now)
{
    const QString text = raceClockText(now);
    const bool big = raceClockLarge(now);
    setFontSize(p, big ? 50 : kClockPoints);
    const QPoint at = big ? QPoint(roundHalfEven(map.width() / 2.0 - 50) + 5, 15)
                          : QPoint(map.width() - kClockMargin - p.fontMetrics().boundingRect(text).width(), map.height() - 25);
    writeOpaque(p, at, text, Qt::white, now > 0 ? QColor(0, 0, 255) : QColor(255, 0, 0));
    setFontSize(p, 9);
}

int raceClockReach()
{
    QImage device(1, 1, QImage::Format_RGB32);
    QPainter p(&device);
    setFontSize(p, kClockPoints);
    return kClockMargin + p.fontMetrics().boundingRect(QStringLiteral("-88:88:88")).width();
}

}  // namespace keelrun
