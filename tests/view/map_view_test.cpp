#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "race/race_extent.h"
#include "view/map_view.h"

namespace keelrun {
namespace {

TEST(MapView, ScreenVectorWrapsDirections)
{
    const QPointF up = screenVector(0, 400);
    EXPECT_NEAR(up.x(), 0, 1e-9);
    EXPECT_NEAR(up.y(), -200, 1e-9);
    const QPointF a = screenVector(-200, 400), b = screenVector(160, 400);
    EXPECT_NEAR(a.x(), b.x(), 1e-9);
    EXPECT_NEAR(a.y(), b.y(), 1e-9);
    const QPointF c = screenVector(370, 400), d = screenVector(10, 400);
    EXPECT_NEAR(c.x(), d.x(), 1e-9);
    EXPECT_NEAR(c.y(), d.y(), 1e-9);
}

TEST(MapView, WindUpPutsTheWindAtTheTop)
{
    MapView view;
    view.centreLat = 100;
    view.centreLon = 200;
    view.latScale = view.lonScale = 100;
    view.mapSize = QSize(400, 300);
    EXPECT_EQ(projectPoint(100, 200, view), QPoint(200, 150));
    EXPECT_EQ(projectPoint(100, 201, view), QPoint(300, 150));  // north up: east is right

    view.northUp = false;
    view.rotation = -90 * std::numbers::pi / 180;  // wind from the east
    EXPECT_EQ(projectPoint(100, 201, view), QPoint(200, 50));
    EXPECT_EQ(rotatePoint({3, 4}, 1.0, true), QPointF(3, 4));
}

TEST(MapView, VisibleWindowIsHalfTheMapEachWay)
{
    MapView view;
    view.centreLat = 2100;
    view.centreLon = 8000;
    view.latScale = 400;  // pixels per minute
    view.lonScale = 320;
    view.mapSize = QSize(800, 600);
    const GeoBox w = visibleWindow(view);
    EXPECT_DOUBLE_EQ(w.maxLat, 2100.75);
    EXPECT_DOUBLE_EQ(w.minLat, 2099.25);
    EXPECT_DOUBLE_EQ(w.maxLon, 8001.25);
    EXPECT_DOUBLE_EQ(w.minLon, 7998.75);
}

TEST(MapView, OverviewShowsTheWholeExtent)
{
    RaceExtent e;
    e.latSpan = 4;
    e.lonSpan = 5;
    const OverviewScale s = overviewScale(e);
    EXPECT_DOUBLE_EQ(s.lat, 170 / 4.0);
    EXPECT_DOUBLE_EQ(s.lon, 170 / 5.0);
}

class FitViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        race.boatCount = 2;
        race.extent.cosLat = 0.8;
        request.mapSize = QSize(800, 600);
    }
    RaceState race;
    FitRequest request;
};

TEST_F(FitViewTest, OneBoatGetsTheMinimumBox)
{
    request.boats = {{1, {2100, 8000}, true}};
    MapView v = fitView(request, race);
    EXPECT_DOUBLE_EQ(v.latScale, 0.85 * 600 / 0.04);  // 0.05 x 0.8 is not wider than 0.04
    EXPECT_DOUBLE_EQ(v.lonScale, v.latScale * 0.8);

    race.extent.cosLat = 0.9;
    v = fitView(request, race);
    EXPECT_DOUBLE_EQ(v.lonScale, 0.85 * 600 / 0.05);
    EXPECT_EQ(v.centreLat, 2100);
    EXPECT_EQ(v.firstFocusedBoats, std::vector<int>{1});
}

TEST_F(FitViewTest, WideAndTallBoxesFillTheHeight)
{
    // The corner boats lie outside the circle the box fits in: the view
    // widens by their distance over half the box.
    race.extent.cosLat = 0.5;
    request.boats = {{1, {0, 0}, true}, {2, {0.1, 1}, true}};  // wide on the ground
    MapView v = fitView(request, race);
    const double wideBy = std::hypot(0.05, 0.25) / 0.25;
    EXPECT_NEAR(v.lonScale, 0.85 * 600 / 1 / wideBy, 1e-9);
    EXPECT_NEAR(v.latScale, v.lonScale / 0.5, 1e-9);

    request.boats = {{1, {0, 0}, true}, {2, {1, 0.1}, true}};  // tall
    v = fitView(request, race);
    const double tallBy = std::hypot(0.5, 0.025) / 0.5;
    EXPECT_NEAR(v.latScale, 0.85 * 600 / 1 / tallBy, 1e-9);
    EXPECT_NEAR(v.lonScale, v.latScale * 0.5, 1e-9);
}

TEST_F(FitViewTest, ZoomAndUntickedBoats)
{
    race.extent.cosLat = 1;
    request.zoomDivisor = 4;
    request.boats = {{1, {0, 0}, true}, {2, {5, 5}, false}};
    const MapView v = fitView(request, race);
    EXPECT_DOUBLE_EQ(v.latScale, 0.85 * 600 / 0.05 / 4);
    EXPECT_EQ(v.centreLat, 0);
}

TEST_F(FitViewTest, StartLineBeforeTheGunAndExtentWithoutAutoTrace)
{
    race.extent = {10, 0, 10, 0, 5, 5, 1, 12, 12};
    race.lineCount = 1;
    race.lines[1] = {{1, 1}, {1, 3}};
    request.boats = {{1, {1, 1}, true}};
    request.now = -10;
    EXPECT_DOUBLE_EQ(fitView(request, race).centreLon, 2);
    request.now = 10;
    EXPECT_DOUBLE_EQ(fitView(request, race).centreLon, 1);
    request.autoTrace = false;
    EXPECT_DOUBLE_EQ(fitView(request, race).centreLon, 5);
}

TEST_F(FitViewTest, LoneBoatSeesTheFinishLine)
{
    race.extent.cosLat = 1;
    race.results.finishLine = {2, 2, 0, 1};
    request.boats = {{1, {0, 0}, true}};
    EXPECT_DOUBLE_EQ(fitView(request, race).centreLat, 1);
}

}  // namespace
}  // namespace keelrun

namespace keelrun {
namespace {

// Many points projected at once land where one at a time does.
TEST(MapViewProjection, TheSameAsOneAtATime)
{
    MapView view;
    view.centreLat = 2000;
    view.centreLon = 8000;
    view.latScale = 37.5;
    view.lonScale = 30.1;
    view.mapSize = {1001, 777};
    for (bool northUp : {true, false}) {
        view.northUp = northUp;
        view.rotation = northUp ? 0 : -1.1;
        const Projection project(view);
        for (double d = -3; d <= 3; d += 0.37)
            EXPECT_EQ(project(2000 + d, 8000 - d / 2), projectPoint(2000 + d, 8000 - d / 2, view));
    }
}

}  // namespace
}  // namespace keelrun
