#include "render/overview_map.h"

#include <QPainter>
#include <QPolygonF>

#include "base/numbers.h"
#include "playback/map_view.h"
#include "render/coastline_layer.h"
#include "render/painting.h"

namespace keelrun {

QImage drawOverviewMap(const RaceState &race, bool northUp)
{
    QImage picture(kOverviewSize, kOverviewSize, QImage::Format_RGB32);
    picture.fill(QColor(120, 150, 255));
    QPainter p(&picture);
    for (int b = race.boatCount; b >= 1; --b) {
        const BoatEntry &boat = race.boats[b];
        QPolygonF track;
        for (int i = 1; i <= boat.sampleCount(); ++i)
            track << QPointF(kOverviewCentre) + overviewOffset({boat.samples[i].lat, boat.samples[i].lon}, race, northUp);
        p.setPen(toQColor(boat.colour));
        p.drawPolyline(track);
    }
    const auto place = [&](GeoPoint g) { return QPointF(kOverviewCentre) + overviewOffset(g, race, northUp); };
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
    const int left = map.width() - kOverviewSize;
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
