#include "render/map_renderer.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPolygon>

#include "base/numbers.h"
#include "base/text_file.h"
#include "race/plane.h"
#include "render/painting.h"
#include "render/speed_colours.h"

namespace keelrun {
namespace {

// The sail is trimmed for a fixed true wind of this many knots.
constexpr double kSailTrimWind = 10;

// Screen offset of a distance in a screen direction (degrees clockwise from up).
QPointF offsetTowards(double distance, double degrees)
{
    return {distance * std::sin(degrees * kDegree), -distance * std::cos(degrees * kDegree)};
}

QString speedText(double knots) { return numberText(std::round(knots * 100) / 100); }

// Everything a boat needs drawn, worked out once per frame.
struct BoatDrawing {
    const BoatEntry *boat = nullptr;
    const BoatInFrame *place = nullptr;
    QPoint pixel;
    bool shown = false;
};

class BoatPainter {
public:
    BoatPainter(QPainter &p, LabelPlacer &labels, const RaceState &race, const FrameState &frame, const MapView &view,
                const RenderOptions &o)
        : p_(p), labels_(labels), race_(race), frame_(frame), view_(view), o_(o),
          size_(boatSizeFor(view.latScale, race.boatLength, o.bigBoats)), hull_(hullOutlineFor(race.boatLength))
    {
        QFont font = p_.font();
        font.setPointSize(8);
        p_.setFont(font);
        for (int b = 1; b <= race.boatCount; ++b) {
            const BoatInFrame &place = frame.boats[b];
            if (!place.hasPosition)
                continue;
            boats_.push_back({&race.boats[b], &place, projectPoint(place.lat, place.lon, view), place.shown});
            if (boats_.back().shown)
                tickedInPlay_.push_back(b);
        }
    }

    void draw()
    {
        for (auto it = boats_.rbegin(); it != boats_.rend(); ++it)
            drawLayerA(*it);
        drawRings();
        prepareWindArrow();
        for (auto it = boats_.rbegin(); it != boats_.rend(); ++it)
            drawLayerB(*it);
    }

private:
    int numberOf(const BoatDrawing &d) const { return static_cast<int>(d.boat - &race_.boats[0]); }
    QPoint labelPlace(const BoatDrawing &d) const { return {d.pixel.x() + roundHalfEven(size_ / 2.0) + 7, d.pixel.y() - 6}; }
    bool windUp() const { return !view_.northUp; }

    void drawLayerA(const BoatDrawing &d)
    {
        if (d.shown)
            drawWake(d);
        if (d.shown && (o_.comparisonLines || o_.labelLevel > 2))
            drawComparisonLine(d);
        drawLabel(d);
    }

    // The boat's pixel and four fixes back along its track, the step
    // chosen so that the wake spans about the same distance at any zoom:
    // fixes[i] is the fix at points[i + 1].
    struct Wake {
        QPolygon points;
        std::array<const TrackSample *, 4> fixes{};
    };
    Wake wakeOf(const BoatDrawing &d) const
    {
        const double interval = std::max(d.boat->fixInterval, 0.1);
        const int k = static_cast<int>(std::clamp(10000 / view_.latScale / interval, 1.0, 1e6));
        const int c = d.place->currentSample;
        Wake wake;
        wake.points << d.pixel;
        for (int step = 0; step <= 3; ++step) {
            wake.fixes[step] = &d.boat->samples[std::max(1, c - step * k)];
            wake.points << projectPoint(wake.fixes[step]->lat, wake.fixes[step]->lon, view_);
        }
        return wake;
    }

    void drawWake(const BoatDrawing &d)
    {
        const Wake wake = wakeOf(d);
        if (o_.speedColours) {
            drawSpeedColouredWake(wake);
            return;
        }
        const bool downwind = std::abs(d.place->trueWindAngle) >= 90;
        const double mean = downwind ? o_.downwindMeanSpeed : o_.upwindMeanSpeed;
        const QColor colour = o_.fastWakes && d.place->speed > mean ? QColor(255, 0, 0) : QColor(255, 255, 255);
        p_.setPen(QPen(colour, 1));
        p_.drawPolyline(wake.points);
        for (int i = 1; i <= 3; ++i)
            drawWakeFix(wake.points[i], colour);
    }

    // Each stretch of the wake in the colour of the speed at the fix it
    // starts from, the one further back, and so each fix's dot.
    void drawSpeedColouredWake(const Wake &wake)
    {
        const auto colourAt = [&](int point) { return speedColour(wake.fixes[point - 1]->speed, race_.usualSpeeds); };
        for (int i = 1; i <= 4; ++i) {
            p_.setPen(QPen(colourAt(i), 1));
            p_.drawLine(wake.points[i - 1], wake.points[i]);
        }
        for (int i = 1; i <= 3; ++i)
            drawWakeFix(wake.points[i], colourAt(i));
    }

    // A dot on the wake where a fix was.
    void drawWakeFix(QPoint at, const QColor &colour)
    {
        p_.setPen(QPen(colour, 1));
        p_.setBrush(colour);
        p_.drawEllipse(QRect(at - QPoint(1, 1), at + QPoint(2, 2)));
    }

    // A line through the boat at right angles to the wind: boats on one
    // such line are level on the beat or the run.
    void drawComparisonLine(const BoatDrawing &d)
    {
        const double base = windUp() ? race_.windDirection : 0;
        const double across = frame_.wind.smoothedDirection - base + race_.magneticVariation;
        const int height = view_.mapSize.height();
        p_.setPen(QPen(toQColor(d.boat->colour), 1));
        p_.drawLine(QPointF(d.pixel) + screenVector(across + 90, height), QPointF(d.pixel) + screenVector(across - 90, height));
    }

    void drawLabel(const BoatDrawing &d)
    {
        QString text;
        QColor colour = Qt::white;
        if (o_.labelLevel == 1 && d.shown)
            text = d.boat->name;
        if (o_.labelLevel >= 2)
            text = d.shown ? d.boat->name + QStringLiteral("  ") + speedText(d.place->speed) + QStringLiteral("Kts") : d.boat->name;
        if (o_.labelLevel > 2 && d.shown && tickedInPlay_.size() == 2) {
            const int other = tickedInPlay_[0] == numberOf(d) ? tickedInPlay_[1] : tickedInPlay_[0];
            const double difference = std::round((d.place->speed - frame_.boats[other].speed) * 100) / 100;
            const bool faster = difference > 0;
            text += QStringLiteral(" (") + (faster ? QStringLiteral("+") : QString()) + speedText(difference) + QStringLiteral("kts)");
            colour = faster ? QColor(255, 0, 0) : QColor(255, 255, 255);
        }
        if (o_.labelLevel == 0 && o_.blinkNames && o_.blinkOn)
            text = d.boat->name;
        if (!text.isEmpty())
            writeApart(p_, labels_, labelPlace(d), text, colour, o_.sea);
    }

    void drawRings()
    {
        const BoatDrawing *hovered = find(o_.hoveredBoat);
        const BoatDrawing *selected = o_.selectedBoat != o_.hoveredBoat ? find(o_.selectedBoat) : nullptr;
        const int radius = roundHalfEven(size_ * 0.5 + 3);
        p_.setBrush(QColor(192, 255, 255));
        if (hovered) {
            p_.setPen(Qt::black);
            p_.drawEllipse(hovered->pixel, radius, radius);
            writeOpaque(p_, labelPlace(*hovered),
                        hovered->boat->name + QStringLiteral("  ") + speedText(hovered->place->speed) + QStringLiteral("Kts"),
                        toQColor(hovered->boat->colour), Qt::white);
        }
        if (selected) {
            p_.setPen(QColor(255, 0, 0));
            p_.drawEllipse(selected->pixel, radius, radius);
        }
    }

    const BoatDrawing *find(int boat) const
    {
        for (const BoatDrawing &d : boats_) {
            if (numberOf(d) == boat)
                return &d;
        }
        return nullptr;
    }

    void prepareWindArrow()
    {
        const double twd = frame_.wind.displayTwd;
        const double s = size_;
        arrow_ = {rotatePoint(offsetTowards(s, twd), view_.rotation, view_.northUp),
                  rotatePoint(offsetTowards(2 * s, twd - 5), view_.rotation, view_.northUp),
                  rotatePoint(offsetTowards(2 * s, twd + 5), view_.rotation, view_.northUp)};
    }

    void drawLayerB(const BoatDrawing &d)
    {
        const PlacedHull placed(d.pixel, signedAngle(d.place->heading - (windUp() ? race_.windDirection : 0)), size_);
        if (d.shown || o_.showHidden) {
            const QPolygon hull = placed.polygon(hull_);
            p_.setPen(o_.seaBrightness > 75 ? QColor(0, 0, 0) : QColor(192, 192, 192));
            p_.setBrush(d.shown ? toQColor(d.boat->colour) : o_.sea);
            p_.drawPolygon(hull);
        }
        if (o_.windArrowsShown) {
            p_.setPen(QColor(255, 255, 0));
            p_.setBrush(Qt::NoBrush);
            const QPointF b(d.pixel);
            p_.drawPolygon(QPolygonF{b + arrow_[0], b + arrow_[1], b + arrow_[2]});
        }
        if (size_ > 8 && d.shown)
            drawSail(d, placed.at(hull_[9]));
    }

    // The mainsail from the mast, eased out to the apparent wind of a boat
    // sailing at its speed in a 10-knot true wind, on the leeward side.
    void drawSail(const BoatDrawing &d, QPoint mast)
    {
        const int twa = d.place->trueWindAngle;
        const double a = std::abs(twa) * kDegree;
        const double side = twa > 0 ? 1 : -1;
        double apparent = std::atan(kSailTrimWind * std::sin(a) / (d.place->speed + kSailTrimWind * std::cos(a))) / kDegree;
        if (apparent < 0)
            apparent += 180;
        double boom = side * apparent / 2 + 180;
        if (boom > 180)
            boom -= 360;
        const double along = d.place->heading + boom - (windUp() ? race_.windDirection : 0);
        const QPointF m(mast);
        const QPolygonF sail{m, m + offsetTowards(0.1 * size_, along + 40 * side), m + offsetTowards(0.25 * size_, along + 16 * side),
                             m + offsetTowards(0.5 * size_, along)};
        p_.setPen(Qt::white);
        p_.setBrush(Qt::white);
        p_.drawPolygon(sail);
    }

    QPainter &p_;
    LabelPlacer &labels_;  // the labels drawn so far, which the boats' keep clear of
    const RaceState &race_;
    const FrameState &frame_;
    const MapView &view_;
    const RenderOptions &o_;
    int size_;
    HullOutline hull_;
    std::vector<BoatDrawing> boats_;
    std::vector<int> tickedInPlay_;
    std::array<QPointF, 3> arrow_{};
};

}  // namespace

HullOutline hullOutlineFor(double boatLength)
{
    const bool keelboat = boatLength > 3;
    HullOutline h = keelboat ? HullOutline{{{0, 0}, {0, -50}, {12, -10}, {15, 20}, {10, 50}, {-10, 50}, {-15, 20}, {-12, -10}, {0, -50}, {0, -15}}}
                             : HullOutline{{{0, 0}, {0, -50}, {10, -50}, {27, 10}, {20, 50}, {-20, 50}, {-27, 10}, {-10, -50}, {0, -50}, {0, -20}}};
    // Longer boats are drawn slimmer.
    if (boatLength > 10) {
        for (int i = 2; i <= 7; ++i)
            h[i].setX(roundHalfEven(h[i].x() * (1 - (boatLength - 10) * 0.022)));
    }
    return h;
}

PlacedHull::PlacedHull(QPoint pixel, double degrees, int size)
    : pixel_(pixel), cos_(std::cos(degrees * kDegree)), sin_(std::sin(degrees * kDegree)), size_(size)
{
}

QPoint PlacedHull::at(QPointF outlinePoint) const
{
    const double x = outlinePoint.x() * size_ / 100, y = outlinePoint.y() * size_ / 100;
    return {pixel_.x() + roundHalfEven(x * cos_ - y * sin_), pixel_.y() + roundHalfEven(x * sin_ + y * cos_)};
}

QPolygon PlacedHull::polygon(const HullOutline &outline) const
{
    QPolygon hull;
    for (int i = 1; i <= 8; ++i)
        hull << at(outline[i]);
    return hull;
}

int boatSizeFor(double latScale, double boatLength, bool bigBoats)
{
    double size = latScale * boatLength / kMetresPerMinute;
    if (bigBoats && size < 14)
        size = 14;
    if (size < 6)
        size = 6;
    return roundHalfEven(size);
}

void drawBoats(QPainter &painter, LabelPlacer &labels, const RaceState &race, const FrameState &frame, const MapView &view,
               const RenderOptions &options)
{
    BoatPainter(painter, labels, race, frame, view, options).draw();
}

void drawMapFrame(QImage &bitmap, const RaceState &race, const FrameState &frame, const RenderOptions &options,
                  const OverlayOptions &overlays)
{
    if (frame.boatsInPlay == 0)
        return;
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    LabelPlacer labels;
    drawOverlaysUnderBoats(painter, labels, race, frame, frame.view, frame.now, overlays);
    drawBoats(painter, labels, race, frame, frame.view, options);
    if (options.speedColours)
        drawSpeedLegend(painter, bitmap.deviceIndependentSize().toSize(), race.usualSpeeds,
                        scaleBarReach(overlays.windowHeight, frame.view.pxPerKm));
    drawRaceClock(painter, bitmap.deviceIndependentSize().toSize(), frame.now);
}

}  // namespace keelrun
