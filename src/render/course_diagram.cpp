#include "render/course_diagram.h"

#include <algorithm>
#include <optional>
#include <utility>

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygon>
#include <QStaticText>

#include "base/numbers.h"
#include "base/parallel.h"
#include "race/plane.h"
#include "render/map_renderer.h"
#include "race/manoeuvres.h"
#include "race/track_derivation.h"
#include "render/coastline_layer.h"
#include "render/drawn_fixes.h"
#include "render/painting.h"
#include "render/speed_colours.h"
#include "render/pages/thin_trace.h"

namespace keelrun {
namespace {

const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
constexpr int kBoatSize = 16;  // pixels, whatever the zoom

bool isShown(const CourseDiagramRequest &r, const RaceState &race, int b)
{
    return r.shown.empty() ? race.boats[b].shown == 1 : bool(r.shown[b]);
}

// The pixels of the track's pieces between the gaps where its logger was
// off, from the fixes the view's scale needs: `startPiece()` before each
// piece, then `pixel(at, fix)` for each fix that does not fall on the pixel
// of the one before; over a whole race most of them do.
template <typename StartPiece, typename Pixel>
void forEachTrackPixel(const BoatEntry &boat, const MapView &view, double topKnots, StartPiece &&startPiece, Pixel &&pixel)
{
    const Projection project(view);
    QPoint last;
    bool first = true;  // the piece's first fix, drawn wherever it falls
    forEachDrawnFix(
        boat, drawingStride(boat.fixInterval, topKnots, view.latScale),
        [&] {
            first = true;
            startPiece();
        },
        [&](int i) {
            const QPoint at = project(boat.samples[i].lat, boat.samples[i].lon);
            if (first || at != last)
                pixel(at, i);
            first = false;
            last = at;
        });
}

std::vector<QPolygon> trackOf(const BoatEntry &boat, const MapView &view, double topKnots)
{
    std::vector<QPolygon> pieces;
    forEachTrackPixel(boat, view, topKnots, [&] { pieces.emplace_back(); }, [&](QPoint at, int) { pieces.back() << at; });
    return pieces;
}

// A boat's whole track as the diagram draws it: in the boat's colour, or
// with speed colours each segment in the colour of the speed at the fix it
// starts from.
struct DiagramTrack {
    std::vector<QPolygon> pieces;
    QRgb colour = 0;                              // the boat's
    std::vector<std::vector<QRgb>> speedColours;  // [p][i]: of point i of piece p; empty without speed colours
};

DiagramTrack diagramTrackOf(const RaceState &race, int b, const CourseDiagramRequest &r)
{
    const BoatEntry &boat = race.boats[b];
    DiagramTrack track{{}, toQColor(boat.colour).rgb(), {}};
    if (!r.speedColours) {
        track.pieces = trackOf(boat, r.view, race.topSpeed);
        return track;
    }
    forEachTrackPixel(
        boat, r.view, race.topSpeed,
        [&] {
            track.pieces.emplace_back();
            track.speedColours.emplace_back();
        },
        [&](QPoint at, int fix) {
            track.pieces.back() << at;
            track.speedColours.back().push_back(speedColour(boat.samples[fix].speed, race.usualSpeeds).rgb());
        });
    return track;
}

void drawTrack(QImage &bitmap, const DiagramTrack &track)
{
    if (track.speedColours.empty())
        drawThinTrace(bitmap, track.pieces, track.colour);
    else
        drawThinTrace(bitmap, track.pieces, track.speedColours);
}

void drawMarksAndLines(QPainter &p, LabelPlacer &labels, const RaceState &race, const CourseDiagramRequest &r)
{
    for (int m = 1; m <= race.markCount; ++m)
        drawCourseItem(p, labels, projectPoint(race.marks[m].lat, race.marks[m].lon, r.view), QStringLiteral("MK%1").arg(m), r.sea);
    for (int l = 1; l <= race.lineCount; ++l) {
        const CourseLine &line = race.lines[l];
        const QPoint end1 = projectPoint(line.end1.lat, line.end1.lon, r.view);
        const QPoint end2 = projectPoint(line.end2.lat, line.end2.lon, r.view);
        const bool complete = line.end2.lat != 0;  // while a line is being placed it has one end
        if (complete) {
            p.setPen(kYellow);
            p.drawLine(end1, end2);
        }
        drawCourseItem(p, labels, end1, QStringLiteral("L%1").arg(l), r.sea, complete ? std::optional(end2) : std::nullopt);
        if (complete)
            drawCourseItem(p, labels, end2, QStringLiteral("L%1").arg(l), r.sea, end1);
    }
}

// Where a boat is at `now`, between two fixes of its track (its last
// segment is not searched); nothing outside them or across a gap.
std::optional<std::pair<GeoPoint, double>> placeAt(const BoatEntry &boat, double now)
{
    const int j = placedAfter(boat, now);
    if (j == 0)
        return std::nullopt;
    const TrackSample &a = boat.samples[j], &z = boat.samples[j + 1];
    const double f = (now - a.time) / (z.time - a.time);
    return std::pair{GeoPoint{a.lat + f * (z.lat - a.lat), a.lon + f * (z.lon - a.lon)}, a.heading};
}

void drawBoatsAtNow(QPainter &p, LabelPlacer &labels, const RaceState &race, const CourseDiagramRequest &r)
{
    const HullOutline outline = hullOutlineFor(race.boatLength);
    const double turn = r.view.northUp ? 0 : race.windDirection;
    for (int b = 1; b <= race.boatCount; ++b) {
        const auto place = isShown(r, race, b) ? placeAt(race.boats[b], r.now) : std::nullopt;
        if (!place)
            continue;
        const QPoint pixel = projectPoint(place->first.lat, place->first.lon, r.view);
        p.setPen(Qt::black);
        p.setBrush(toQColor(race.boats[b].colour));
        p.drawPolygon(PlacedHull(pixel, signedAngle(place->second - turn), kBoatSize).polygon(outline));
        if (r.names)
            writeApart(p, labels, pixel + QPoint(10, -6), race.boats[b].name, Qt::white, r.sea);
    }
}

// The time of day of the race clock, as the system writes times.
void drawTimeOfDay(QPainter &p, const RaceState &race, const CourseDiagramRequest &r, QSize map)
{
    QFont font = p.font();
    font.setPointSize(12);
    p.setFont(font);
    const QString text = timeText(addSeconds(race.startTime, roundHalfEven(r.now)));
    const int left = std::min(map.width() - 63, map.width() - 4 - p.fontMetrics().horizontalAdvance(text));  // kept whole on the map
    writeOpaque(p, QPoint(left, map.height() - 25), text, Qt::white, r.sea);
}

// A small T or G in the boat's colour where each of its tacks and gybes was.
// The two letters are laid out once: a fleet turns thousands of times, and
// laying a letter out for each costs more than the rest of the diagram.
void drawManoeuvreMarks(QPainter &p, const RaceState &race, const CourseDiagramRequest &r)
{
    const QFont saved = p.font();
    QFont font = saved;
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    QStaticText tack(QStringLiteral("T")), gybe(QStringLiteral("G"));
    for (QStaticText *letter : {&tack, &gybe}) {
        letter->setTextFormat(Qt::PlainText);
        letter->prepare(p.transform(), font);
    }
    // Centred on the turn, as in a 10 pixel square about it.
    const QFontMetricsF metrics(font, p.device());
    const auto centred = [&](const QString &letter) {
        return QPointF((10 - metrics.horizontalAdvance(letter)) / 2, (10 - metrics.height()) / 2);
    };
    const QPointF tackOffset = centred(tack.text()), gybeOffset = centred(gybe.text());
    for (int b = race.boatCount; b >= 1; --b) {
        if (!isShown(r, race, b))
            continue;
        p.setPen(toQColor(race.boats[b].colour));
        for (const Manoeuvre &m : race.boats[b].manoeuvres) {
            const GeoPoint at = positionAt(race.boats[b], m.time);
            const QPointF corner = QPointF(projectPoint(at.lat, at.lon, r.view) - QPoint(5, 5));
            const bool isTack = m.kind == Manoeuvre::Tack;
            p.drawStaticText(corner + (isTack ? tackOffset : gybeOffset), isTack ? tack : gybe);
        }
    }
    p.setFont(saved);
}

}  // namespace

void drawCourseDiagram(QImage &bitmap, const RaceState &race, const CourseDiagramRequest &r)
{
    bitmap.fill(r.sea);
    // Whole tracks are many thousand fixes each: projected on every
    // processor, last boat first, while this thread draws each one ready
    // straight into the picture, a row at a time, before the painter takes
    // it; the first boat ends on top.
    const auto boatAt = [&](int k) { return race.boatCount + 1 - k; };
    produceInOrder(
        1, race.boatCount, [&](int k) { return isShown(r, race, boatAt(k)) ? diagramTrackOf(race, boatAt(k), r) : DiagramTrack(); },
        [&](int, const DiagramTrack &track) { drawTrack(bitmap, track); });
    QPainter p(&bitmap);
    QFont font = p.font();
    font.setPointSize(9);
    p.setFont(font);
    drawManoeuvreMarks(p, race, r);
    LabelPlacer labels;
    drawMarksAndLines(p, labels, race, r);
    drawCoastline(p, race.coastPoints, [&](GeoPoint g) { return QPointF(projectPoint(g.lat, g.lon, r.view)); });
    drawBoatsAtNow(p, labels, race, r);
    if (r.compass)
        p.drawImage(QRect(5, 5, 100, 120), *r.compass);
    drawTimeOfDay(p, race, r, bitmap.deviceIndependentSize().toSize());
    if (r.speedColours)
        drawSpeedLegend(p, bitmap.deviceIndependentSize().toSize(), race.usualSpeeds, 0);  // no scale bar
}

void highlightTrack(QImage &picture, const RaceState &race, int boat, const MapView &view)
{
    if (boat < 1 || boat > race.boatCount)
        return;
    QPainter p(&picture);
    drawHaloed(p, trackOf(race.boats[boat], view, race.topSpeed), toQColor(race.boats[boat].colour));
}

}  // namespace keelrun
