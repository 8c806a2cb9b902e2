#include "render/coastline_layer.h"

#include "base/numbers.h"
#include "render/painting.h"

namespace keelrun {

void drawCoastline(QPainter &p, const std::vector<CoastPoint> &points, const PlacePoint &place)
{
    p.setPen(QPen(Qt::white, 0));
    QPolygonF line;
    const auto flush = [&] {
        if (line.size() > 1)
            p.drawPolyline(line);
        line.clear();
    };
    for (const CoastPoint &point : points) {
        if (point.start)
            flush();
        line << place({point.lat, point.lon});
    }
    flush();
}

void drawLightsOnMap(QPainter &p, const std::vector<Light> &lights, const MapView &view, const LightsOnMap &options)
{
    const GeoBox seen = visibleWindow(view);
    const double wideLat = 5 * options.zoomDivisor, wideLon = 6 * options.zoomDivisor;
    const double fraction = options.clock ? options.clock->secondFraction : 0;
    for (std::size_t i = 0; i < lights.size(); ++i) {
        const Light &light = lights[i];
        const QPoint at = projectPoint(light.lat, light.lon, view);
        const LightPhase *phase =
            options.clock && i + 1 < options.clock->phases.size() ? &options.clock->phases[i + 1] : nullptr;
        const bool near = seen.minLat - wideLat < light.lat && light.lat < seen.maxLat + wideLat &&
                          seen.minLon - wideLon < light.lon && light.lon < seen.maxLon + wideLon;
        if (phase && phase->lit() && near) {
            const int radius = roundHalfEven(light.range / 2 * view.latScale * fraction);
            p.setPen(toQColor(phase->colour));
            p.setBrush(options.sea);
            p.drawEllipse(at, radius, radius);
        }
        if (at.x() > 0 && at.y() > 0 && at.x() < view.mapSize.width() && at.y() < view.mapSize.height()) {
            p.setPen(QColor(255, 0, 0));
            p.setBrush(QColor(255, 255, 0));
            p.drawEllipse(QRect(at.x() - 3, at.y() - 3, 6, 6));
            if (options.labelLevel >= 2) {
                p.setPen(Qt::white);
                p.drawText(at + QPoint(10, -5 + p.fontMetrics().ascent()), light.name);
            }
        }
    }
    p.setBrush(Qt::NoBrush);
}

void drawLightDots(QPainter &p, const std::vector<Light> &lights, const PlacePoint &place)
{
    p.setPen(QColor(255, 0, 0));
    p.setBrush(QColor(255, 255, 0));
    for (const Light &light : lights) {
        const QPointF at = place({light.lat, light.lon});
        p.drawEllipse(QRectF(at.x() - 2, at.y() - 2, 4, 4));
    }
    p.setBrush(Qt::NoBrush);
}

}  // namespace keelrun
