#include "render/overview_map.h"

#include <QPainter>
#include <QPolygonF>

#include "base/numbers.h"
#include "base/parallel.h"
#include "render/coastline_layer.h"
#include "render/drawn_fixes.h"
#include "render/painting.h"
#include "view/map_view.h"

namespace keelrun {

QImage drawOverviewMap(const RaceState &race, bool northUp)
{
    QImage picture(kOverviewSize, kOverviewSize, QImage::Format_RGB32);
    picture.fill(QColor(120, 150, 255));
    const TurnedOffset offset = overviewProjection(race, northUp);
    const OverviewScale scale = overviewScale(race.extent);
    const auto place = [&](GeoPoint g) { return QPointF(kOverviewCentre) + offset(g.lat, g.lon); };
    // Every fix of every boat: each track is drawn on a clear layer of its
    // own on every processor, and the layers are laid on the picture in
    // order, the first boat on top. The lines are not smoothed, so a layer's
    // pixels are the track's colour or clear, and laying them gives the
    // picture that drawing the tracks in turn would.
    QPainter p(&picture);
    const auto boatAt = [&](int k) { return race.boatCount + 1 - k; };
    produceInOrder(
        1, race.boatCount,
        [&](int k) {
            const BoatEntry &boat = race.boats[boatAt(k)];
            QImage layer(kOverviewSize, kOverviewSize, QImage::Format_ARGB32_Premultiplied);
            layer.fill(Qt::transparent);
            QPainter onLayer(&layer);
            onLayer.setPen(toQColor(boat.colour));
            QPolygonF piece;
            // Nothing is known of where the boat sailed in a gap.
            forEachDrawnFix(
                boat, drawingStride(boat.fixInterval, race.topSpeed, scale.lat),
                [&] {
                    onLayer.drawPolyline(piece);
                    piece.clear();
                },
                [&](int i) { piece << place({boat.samples[i].lat, boat.samples[i].lon}); });
            onLayer.drawPolyline(piece);
            return layer;
        },
        [&](int, const QImage &layer) { p.drawImage(0, 0, layer); });
    drawCoastline(p, race.coastPoints, place);
    drawLightDots(p, race.lights, place);
    return picture;
}

QPoint overviewMarkerPlace(GeoPoint p, const RaceState &race, bool northUp)
{
    const QPointF at = QPointF(kOverviewCentre) + overviewOffset(p, race, northUp);
    return {roundHalfEven(at.x()), roundHalfEven(at.y())};
}

void drawInsetOverview(QImage &map, const QImage &overview, const RaceState &race, const FrameState &frame, bool northUp)
{
    QPainter p(&map);
    const int left = int(map.deviceIndependentSize().width()) - kOverviewSize;
    p.drawImage(left, 0, overview);
    p.setPen(Qt::white);
    const int finish = race.courseLength();
    for (int b = 1; b <= race.boatCount; ++b) {
        const BoatInFrame &place = frame.boats[b];
        const bool finished = finish > 0 && passed(race.boats[b].roundingTime[finish]) && race.boats[b].roundingTime[finish] <= frame.now;
        if (!place.hasPosition || finished)
            continue;
        const QPoint at = overviewMarkerPlace({place.lat, place.lon}, race, northUp) + QPoint(left, 0);
        p.setBrush(toQColor(race.boats[b].colour));
        p.drawEllipse(QRect(at - QPoint(3, 3), at + QPoint(1, 1)));
    }
}

}  // namespace keelrun
