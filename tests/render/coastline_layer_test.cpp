// The coastline and the lights as the map draws them.

#include <gtest/gtest.h>

#include "render/coastline_layer.h"

namespace keelrun {
namespace {

// 10 pixels a minute around 0/0 on a 200 x 200 map.
MapView view()
{
    MapView v;
    v.latScale = v.lonScale = 10;
    v.mapSize = {200, 200};
    return v;
}

QPointF place(GeoPoint g) { return QPointF(projectPoint(g.lat, g.lon, view())); }

TEST(CoastlineLayer, PolylinesBreakWhereALineStarts)
{
    QImage map(200, 200, QImage::Format_RGB32);
    map.fill(Qt::blue);
    QPainter p(&map);
    drawCoastline(p, {{0, -5, true}, {0, 5, false}, {3, -5, true}, {3, 5, false}}, place);
    p.end();
    const QPoint a = place({0, 0}).toPoint(), b = place({3, 0}).toPoint(), between = place({1.5, 0}).toPoint();
    EXPECT_EQ(map.pixelColor(a), QColor(Qt::white));
    EXPECT_EQ(map.pixelColor(b), QColor(Qt::white));
    EXPECT_EQ(map.pixelColor(between), QColor(Qt::blue));  // no join from one line to the next
}

TEST(CoastlineLayer, LitLightsRingAtNight)
{
    const std::vector<Light> lights = {{"Point", 2, 2, 5, 1, "R", 4}, {"Far", 50, 50, 5, 1, "W", 4}};
    LightClock clock;
    clock.phases = {{}, {{255, 0, 0}, 1}, {{255, 255, 255}, 1}};
    clock.secondFraction = 1;  // the ring at its full half range: 2' = 20 pixels
    QImage map(200, 200, QImage::Format_RGB32);
    map.fill(Qt::blue);
    QPainter p(&map);
    drawLightsOnMap(p, lights, view(), {&clock, QColor(Qt::blue), 1, 2});
    p.end();
    const QPoint at = place({2, 2}).toPoint();
    EXPECT_EQ(map.pixelColor(at), QColor(255, 255, 0));                   // the dot
    EXPECT_EQ(map.pixelColor(at + QPoint(3, 0)), QColor(255, 0, 0));      // its outline
    EXPECT_EQ(map.pixelColor(at + QPoint(0, 20)), QColor(255, 0, 0));     // the ring
    EXPECT_EQ(map.pixelColor(at + QPoint(0, 12)), QColor(Qt::blue));      // filled with the sea

    clock.phases[1].state = 0;  // dark: the dot only
    map.fill(Qt::blue);
    QPainter dark(&map);
    drawLightsOnMap(dark, lights, view(), {&clock, QColor(Qt::blue), 1, 0});
    dark.end();
    EXPECT_EQ(map.pixelColor(at + QPoint(0, 20)), QColor(Qt::blue));
    EXPECT_EQ(map.pixelColor(at), QColor(255, 255, 0));
}

}  // namespace
}  // namespace keelrun
