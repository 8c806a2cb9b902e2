// The overview map, the stopped map's view and the course diagram.

#include <gtest/gtest.h>

#include "render/course_diagram.h"
#include "render/drawn_fixes.h"
#include "render/overview_map.h"
#include "render/pixel_count.h"
#include "render/speed_colours.h"
#include "view/course_view.h"

namespace keelrun {
namespace {

// Two boats sailing north side by side from (0, 0) over 100 s; a mark north
// of them; a race extent of 4 x 4 minutes round (1, 1).
class CourseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        race.extent = {3, -1, 3, -1, 1, 1, 1, 4, 4};
        race.boatCount = 2;
        race.boatLength = 8;
        race.boats[1].colour = {200, 0, 0};
        race.boats[2].colour = {0, 0, 200};
        for (int i = 0; i <= 10; ++i) {
            race.boats[1].samples.push_back({i * 10.0, i * 0.2, 0, 5, 0});
            race.boats[2].samples.push_back({i * 10.0, i * 0.2, 2, 5, 0});
        }
        race.markCount = 1;
        race.marks[1] = {2.5, 1};
    }
    RaceState race;
};

TEST_F(CourseTest, OverviewMarkersSitOnTheTracks)
{
    EXPECT_EQ(overviewMarkerPlace({1, 1}, race, true), QPoint(85, 85));
    EXPECT_EQ(overviewMarkerPlace({1.8, 1}, race, true), QPoint(85, 85 - 34));  // 42.5 pixels a minute
    race.windDirection = 90;                                                     // wind-up, wind from the east
    EXPECT_EQ(overviewMarkerPlace({1.8, 1}, race, false), QPoint(85 - 34, 85));  // north lies to the left
    const QImage overview = drawOverviewMap(race, true);
    const QPoint start = overviewMarkerPlace({0, 0}, race, true);
    EXPECT_EQ(overview.pixelColor(start.x(), start.y() - 5), QColor(200, 0, 0));
    EXPECT_EQ(overview.pixelColor(2, 2), QColor(120, 150, 255));
}

// Wind-up, the course diagram fits the turned course: with the wind across
// the diagonal of a square course every corner of it stays on the map.
TEST_F(CourseTest, TheWindUpDiagramFitsTheTurnedCourse)
{
    const QSize map(800, 600);
    race.extent.latSpan = race.extent.lonSpan = 4 * 1.2;  // the margin the loaded race leaves round its course
    for (const int wind : {0, 45, 90, 135, 300}) {
        race.windDirection = wind;
        const MapView view = courseDiagramView(wholeRaceView(race), race, map, false);
        for (const GeoPoint corner : {GeoPoint{3, -1}, GeoPoint{3, 3}, GeoPoint{-1, -1}, GeoPoint{-1, 3}})
            EXPECT_TRUE(QRect(QPoint(0, 0), map).contains(projectPoint(corner.lat, corner.lon, view))) << wind;
    }
    // With the wind along a side, the fit is the north-up one.
    race.windDirection = 90;
    EXPECT_DOUBLE_EQ(courseDiagramView(wholeRaceView(race), race, map, false).latScale,
                     courseDiagramView(wholeRaceView(race), race, map, true).latScale);
}

TEST_F(CourseTest, ClicksZoomAroundThePointAndStoppingResets)
{
    const QSize map(800, 600);
    CourseView view = wholeRaceView(race);
    EXPECT_EQ(view.centre.lat, 1);
    EXPECT_EQ(view.zoom, 1);
    MapView shown = courseDiagramView(view, race, map, true);
    EXPECT_DOUBLE_EQ(shown.latScale, 600 / 4.0);
    for (int k = 0; k < 3; ++k) {  // three left clicks on the mark
        view = clickCourseDiagram(view, shown, projectPoint(2.5, 1, shown), true);
        shown = courseDiagramView(view, race, map, true);
    }
    EXPECT_DOUBLE_EQ(view.zoom, 3.375);
    EXPECT_NEAR(view.centre.lat, 2.5, 0.5 / (600 / 4.0));  // within half a pixel of the first click
    EXPECT_DOUBLE_EQ(shown.latScale, 600 / 4.0 * 3.375);
    view = clickCourseDiagram(view, shown, QPoint(400, 300), false);
    EXPECT_DOUBLE_EQ(view.zoom, 2.25);
    view = clickOverview(view, race, QPoint(85, 85), true);
    EXPECT_DOUBLE_EQ(view.centre.lat, 1);
    EXPECT_DOUBLE_EQ(view.zoom, 2.25);
}

// The wheel zooms the diagram about the pointer and a drag pans it, north up
// and wind up alike: the place under the pointer stays under it, the one
// under the drag's start goes to its end.
TEST_F(CourseTest, TheWheelAndADragMoveTheDiagram)
{
    const QSize map(800, 600);
    race.windDirection = 40;
    for (const bool northUp : {true, false}) {
        CourseView view = wholeRaceView(race);
        MapView shown = courseDiagramView(view, race, map, northUp);
        const QPoint pointer(620, 140);
        const GeoPoint under = unprojectPoint(pointer, shown);
        view = zoomCourseDiagramAbout(view, shown, pointer, 1.25 * 1.25);
        shown = courseDiagramView(view, race, map, northUp);
        EXPECT_DOUBLE_EQ(view.zoom, 1.5625);
        EXPECT_LE((projectPoint(under.lat, under.lon, shown) - pointer).manhattanLength(), 1) << northUp;

        const GeoPoint grabbed = unprojectPoint(QPoint(300, 300), shown);
        view = panCourseDiagram(view, shown, QPoint(300, 300), QPoint(380, 250));
        shown = courseDiagramView(view, race, map, northUp);
        EXPECT_DOUBLE_EQ(view.zoom, 1.5625);
        EXPECT_LE((projectPoint(grabbed.lat, grabbed.lon, shown) - QPoint(380, 250)).manhattanLength(), 1) << northUp;
    }
}

TEST_F(CourseTest, DiagramShowsTicksTracksBoatsAndMarks)
{
    QImage map(800, 600, QImage::Format_RGB32);
    CourseDiagramRequest request;
    request.view = courseDiagramView(wholeRaceView(race), race, map.size(), true);
    request.now = 55;
    request.names = false;
    drawCourseDiagram(map, race, request);
    EXPECT_GT(countColour(map, QColor(200, 0, 0)), 100);  // track and hull of boat 1
    EXPECT_GT(countColour(map, QColor(0, 0, 200)), 100);
    const QPoint mark = projectPoint(2.5, 1, request.view);
    EXPECT_EQ(map.pixelColor(mark), QColor(255, 255, 0));

    request.shown = {false, true, false};  // boat 2 unticked: no track, no hull
    drawCourseDiagram(map, race, request);
    EXPECT_EQ(countColour(map, QColor(0, 0, 200)), 0);

    const int trackOnly = countColour(map, QColor(200, 0, 0));
    request.now = 95;  // in boat 1's last segment: not drawn
    drawCourseDiagram(map, race, request);
    EXPECT_LT(countColour(map, QColor(200, 0, 0)), trackOnly);
}

// Boat 1's logger is off for two hours after 50 s: its track has a hole
// there on both maps, and the boat is nowhere while it lasts.
TEST_F(CourseTest, ALoggerGapLeavesAHoleInTheTrack)
{
    for (int i = 6; i <= 10; ++i)
        race.boats[1].samples[i + 1].time += 7200;
    race.boats[2].samples.resize(1);
    QImage map(800, 600, QImage::Format_RGB32);
    CourseDiagramRequest request;
    request.view = courseDiagramView(wholeRaceView(race), race, map.size(), true);
    request.sea = QColor(0, 0, 70);
    request.now = 1000;
    request.names = false;
    drawCourseDiagram(map, race, request);
    EXPECT_EQ(map.pixelColor(projectPoint(0.5, 0, request.view)), QColor(200, 0, 0));
    EXPECT_EQ(map.pixelColor(projectPoint(1.1, 0, request.view)), request.sea);  // in the gap
    EXPECT_EQ(map.pixelColor(projectPoint(1.5, 0, request.view)), QColor(200, 0, 0));
    const int trackOnly = countColour(map, QColor(200, 0, 0));
    request.now = 40;
    drawCourseDiagram(map, race, request);
    EXPECT_GT(countColour(map, QColor(200, 0, 0)), trackOnly);  // a hull before the gap, none in it

    const QImage overview = drawOverviewMap(race, true);
    EXPECT_EQ(overview.pixelColor(overviewMarkerPlace({1.1, 0}, race, true)), QColor(120, 150, 255));
    EXPECT_EQ(overview.pixelColor(overviewMarkerPlace({1.5, 0}, race, true)), QColor(200, 0, 0));
}

// With Speed Colours each segment of a track takes the colour of the speed
// of the fix it starts from, whichever boat sailed it; without, the boat's
// colour.
TEST_F(CourseTest, SpeedColoursPaintEachStretchOfATrackBySpeed)
{
    for (int i = 6; i <= 11; ++i)
        race.boats[1].samples[i].speed = 8;  // boat 1 speeds up at 1 minute north
    race.usualSpeeds = {5, 8};
    QImage map(800, 600, QImage::Format_RGB32);
    CourseDiagramRequest request;
    request.view = courseDiagramView(wholeRaceView(race), race, map.size(), true);
    request.now = 1000;  // after the tracks: no boats
    request.names = false;
    drawCourseDiagram(map, race, request);
    const QPoint slowStretch = projectPoint(0.5, 0, request.view), fastStretch = projectPoint(1.5, 0, request.view);
    const QPoint otherBoat = projectPoint(1.5, 2, request.view);
    EXPECT_EQ(map.pixelColor(slowStretch), QColor(200, 0, 0));
    EXPECT_EQ(map.pixelColor(fastStretch), QColor(200, 0, 0));
    EXPECT_EQ(map.pixelColor(otherBoat), QColor(0, 0, 200));

    request.speedColours = true;
    drawCourseDiagram(map, race, request);
    const QColor slow = speedColour(5, race.usualSpeeds), fast = speedColour(8, race.usualSpeeds);
    EXPECT_EQ(map.pixelColor(slowStretch), slow);
    EXPECT_EQ(map.pixelColor(projectPoint(0.9, 0, request.view)), slow);  // from the last slow fix
    EXPECT_EQ(map.pixelColor(projectPoint(1.1, 0, request.view)), fast);
    EXPECT_EQ(map.pixelColor(fastStretch), fast);
    EXPECT_EQ(map.pixelColor(otherBoat), slow);
    EXPECT_EQ(countColour(map, QColor(200, 0, 0)), 0);
    EXPECT_EQ(countColour(map, QColor(0, 0, 200)), 0);
}

TEST_F(CourseTest, InsetOverviewShowsTheBoatsStillRacing)
{
    QImage map(800, 600, QImage::Format_RGB32);
    map.fill(Qt::black);
    QImage overview(170, 170, QImage::Format_RGB32);  // without tracks, so that only the dots show
    overview.fill(QColor(120, 150, 255));
    FrameState frame = newFrameState(race);
    FrameRequest request;
    request.now = 55;
    computeFrame(frame, race, request);
    race.course = {"MK1"};
    race.boats[2].roundingTime[1] = 50;  // boat 2 finished before now
    drawInsetOverview(map, overview, race, frame, true);
    EXPECT_EQ(map.pixelColor(800 - 170 + 2, 2), QColor(120, 150, 255));  // the overview in the top right
    EXPECT_EQ(map.pixelColor(799 - 170, 2), QColor(Qt::black));
    const QPoint one = overviewMarkerPlace({frame.boats[1].lat, frame.boats[1].lon}, race, true) + QPoint(630, 0);
    const QPoint two = overviewMarkerPlace({frame.boats[2].lat, frame.boats[2].lon}, race, true) + QPoint(630, 0);
    EXPECT_EQ(map.pixelColor(one - QPoint(1, 1)), QColor(200, 0, 0));
    EXPECT_EQ(map.pixelColor(two - QPoint(1, 1)), QColor(120, 150, 255));
}

TEST_F(CourseTest, AHoveredBoatsTrackIsHaloed)
{
    QImage map(800, 600, QImage::Format_RGB32);
    map.fill(Qt::black);
    const MapView view = courseDiagramView(wholeRaceView(race), race, map.size(), true);
    highlightTrack(map, race, 2, view);
    const QPoint mid = projectPoint(1, 2, view);
    EXPECT_EQ(map.pixelColor(mid), QColor(0, 0, 200));
    EXPECT_EQ(map.pixelColor(mid + QPoint(2, 0)), QColor(Qt::white));
    EXPECT_EQ(map.pixelColor(projectPoint(1, 0, view)), QColor(Qt::black));  // boat 1 untouched
}

// A track logged ten times a second is drawn from every few fixes at a
// scale where they fall within a pixel, but each piece between the logger's
// gaps keeps its first and last fix and nothing joins across a gap.
TEST(DrawnFixes, EveryFewFixesButNeverAcrossAGap)
{
    EXPECT_EQ(drawingStride(1, 10, 360), 1);      // a fix a second: 1 px apart at 10 knots
    EXPECT_EQ(drawingStride(0.1, 10, 360), 10);   // ten a second: a tenth of a pixel
    EXPECT_EQ(drawingStride(0.1, 0, 360), 1);     // no speed known
    BoatEntry boat;
    for (int k = 0; k < 100; ++k)
        boat.samples.push_back({k * 0.1, 0, 0, 0, 0});
    for (int k = 0; k < 25; ++k)
        boat.samples.push_back({4000 + k * 0.1, 0, 0, 0, 0});
    std::vector<std::vector<int>> pieces;
    forEachDrawnFix(boat, 10, [&] { pieces.emplace_back(); }, [&](int i) { pieces.back().push_back(i); });
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].front(), 1);
    EXPECT_EQ(pieces[0].back(), 100);  // the last fix before the gap
    EXPECT_EQ(pieces[0][1], 11);
    EXPECT_EQ(pieces[1], (std::vector<int>{101, 111, 121, 125}));
}

}  // namespace
}  // namespace keelrun
