// The map's overlays and the wind graph.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "render/wind_graph.h"
#include "render/map_overlays.h"
#include "render/map_renderer.h"
#include "render/painting.h"
#include "render/pixel_count.h"

namespace keelrun {
namespace {

TEST(Overlays, RaceClockTexts)
{
    EXPECT_EQ(raceClockText(59), "59");
    EXPECT_EQ(raceClockText(3000), "50:00");
    EXPECT_EQ(raceClockText(3001), "0:50:01");
    EXPECT_EQ(raceClockText(-75), "01:15");
    EXPECT_EQ(raceClockText(7322), "2:02:02");
    EXPECT_TRUE(raceClockLarge(-60));
    EXPECT_TRUE(raceClockLarge(20));
    EXPECT_FALSE(raceClockLarge(-61));
    EXPECT_FALSE(raceClockLarge(21));
}

TEST(Overlays, RaceClockBeforeTheGunIsRed)
{
    QImage image(600, 400, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    drawRaceClock(p, image.size(), -75);
    p.end();
    EXPECT_EQ(image.pixelColor(600 - 9 * 5 - 15 + 1, 400 - 25 + 2), QColor(255, 0, 0));  // small, bottom right
    image.fill(Qt::black);
    p.begin(&image);
    drawRaceClock(p, image.size(), 10);
    p.end();
    EXPECT_EQ(image.pixelColor(255 + 1, 15 + 2), QColor(0, 0, 255));  // large, top middle, blue after the gun
}

TEST(Overlays, GridSpacing)
{
    // About a quarter of the window height, in round steps.
    EXPECT_DOUBLE_EQ(gridSpacing(1200, 1000), 0.3);
    EXPECT_EQ(scaleBarText(0.3), "300M");
    EXPECT_DOUBLE_EQ(gridSpacing(1000, 312.5), 0.5);
    EXPECT_DOUBLE_EQ(gridSpacing(600, 100), 1);
    EXPECT_DOUBLE_EQ(gridSpacing(1200, 100), 2);
    EXPECT_DOUBLE_EQ(gridSpacing(2800, 100), 5);
    EXPECT_DOUBLE_EQ(gridSpacing(1000, 10), 20);
    EXPECT_DOUBLE_EQ(gridSpacing(100, 10000), 0.1);  // never below 100 m
    EXPECT_EQ(scaleBarText(2), "2Km");
}

TEST(Overlays, WindArrowGrowsWithTheWindUpToTwiceItsScale)
{
    EXPECT_EQ(windArrowLength(320, 10), 160);
    EXPECT_EQ(windArrowLength(320, 0), 160);
    EXPECT_EQ(windArrowLength(320, 40), 640);
    EXPECT_EQ(windArrowLength(320, 55), 640);
}

TEST(Overlays, LaylinesOfZeroDegreesAllLieDownwind)
{
    const auto fan = laylineFanDirections(200, 0, 0);
    EXPECT_EQ(fan[0], 380);
    EXPECT_EQ(fan[1], 200);
    for (int i = 2; i < 6; ++i)
        EXPECT_EQ(std::fmod(fan[i] + 360, 360), 20) << i;
    const auto usual = laylineFanDirections(0, 45, 135);
    EXPECT_EQ(usual[2], -135);
    EXPECT_EQ(usual[3], 135);
}

// Two marks and a course between them, drawn at names-and-speeds level.
class CourseOverlayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        race.markCount = 2;
        race.marks[1] = {2100, 8000};
        race.marks[2] = {2100.02, 8000};
        race.course = {"MK1", "MK2"};
        race.legs.coursePoint[1] = {2100, 8000};
        race.legs.coursePoint[2] = {2100.02, 8000};
        view.centreLat = 2100.01;
        view.centreLon = 8000;
        view.latScale = view.lonScale = 10000;
        view.pxPerKm = view.latScale / 1.852;
        view.mapSize = QSize(400, 400);
    }
    QColor midpoint()
    {
        QImage image(view.mapSize, QImage::Format_RGB32);
        image.fill(QColor(110, 160, 255));
        QPainter p(&image);
        OverlayOptions o;
        o.labelLevel = 2;
        o.windowHeight = 100000;  // a sparse grid
        LabelPlacer labels;
        drawOverlaysUnderBoats(p, labels, race, frame, view, 0, o);
        p.end();
        // Along the dotted route between the marks: find a yellow pixel.
        for (int y = 160; y <= 240; ++y) {
            if (image.pixelColor(200, y) == QColor(255, 255, 0))
                return QColor(255, 255, 0);
        }
        return image.pixelColor(200, 200);
    }
    RaceState race;
    FrameState frame;
    MapView view;
};

TEST_F(CourseOverlayTest, CourseRouteOnlyWithoutReferenceLines)
{
    EXPECT_EQ(midpoint(), QColor(255, 255, 0));
    race.refLineCount = 1;
    race.refLines[1] = {{2099, 7990}, {2099, 7991}};  // far off the map
    EXPECT_NE(midpoint(), QColor(255, 255, 0));
}

TEST(WindGraph, TimeGridStep)
{
    EXPECT_EQ(windGraphTimeStep(3600), 300);
    EXPECT_EQ(windGraphTimeStep(5000), 600);
    EXPECT_EQ(windGraphTimeStep(18000), 1800);
    EXPECT_EQ(windGraphTimeStep(100000), 7200);
}

// The strip's line: the wind records in cyan, else the fleet's wind in
// orange; nothing without either.
TEST(WindGraph, RecordsOrTheFleetsWind)
{
    RaceState race;
    race.windowStart = 0;
    race.windowEnd = 3600;
    EXPECT_EQ(countColour(drawWindGraph(race), kEstimatedWind), 0);
    race.estimatedWind = {{0, 200}, {1800, 210}, {3600, 205}};
    EXPECT_GT(countColour(drawWindGraph(race), kEstimatedWind), 90);
    race.windSamples = {{}, {0, 10, 200}, {3600, 12, 205}};
    const QImage recorded = drawWindGraph(race);
    EXPECT_EQ(countColour(recorded, kEstimatedWind), 0);
    EXPECT_GT(countColour(recorded, QColor(0, 255, 225)), 90);
}

RaceState windRace(std::initializer_list<WindSample> records)
{
    RaceState race;
    race.windowStart = -190;
    race.windowEnd = 3600;
    for (const WindSample &w : records)
        race.windSamples.push_back(w);
    return race;
}

// The leftmost and rightmost columns of the wind line.
std::pair<int, int> columnsOfWindLine(const QImage &graph)
{
    int left = 1000, right = -1;
    for (int y = 5; y <= 95; ++y) {
        for (int x = 5; x <= 95; ++x) {
            if (graph.pixelColor(x, y) == QColor(0, 255, 225)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {left, right};
}

TEST(WindGraph, OneRecordSitsInTheMiddle)
{
    const QImage graph = drawWindGraph(windRace({{0, 8, 200}, {600, 8, 200}}));
    EXPECT_EQ(graph.size(), QSize(100, 120));
    EXPECT_EQ(graph.pixelColor(2, 110), QColor(0, 128, 0));
    EXPECT_EQ(columnsOfWindLine(graph), (std::pair<int, int>{50, 50}));
    const QImage single = drawWindGraph(windRace({{0, 8, 200}}));
    EXPECT_EQ(single.pixelColor(50, 50), QColor(192, 192, 225));  // the 200° grid line; the record is a point
}

TEST(WindGraph, DirectionsAcrossNorthAreCentredOnNorth)
{
    // 350° and 10°: centre 0°, span 40°: 350° at x = 27.5 -> 28 (ties to even), 10° at 72.5 -> 72.
    const QImage graph = drawWindGraph(windRace({{0, 8, 350}, {1800, 8, 10}}));
    EXPECT_EQ(columnsOfWindLine(graph), (std::pair<int, int>{28, 72}));
    EXPECT_EQ(graph.pixelColor(50, 40), QColor(192, 192, 225));  // the 0° line in the middle
}

// Labels on a crowded map do not run into each other: the second of two
// wanted at one place moves a line down, the third a line up.
TEST(MapLabels, NeighboursAreMovedApart)
{
    LabelPlacer labels;
    const QRect wanted(100, 100, 60, 14);
    EXPECT_EQ(labels.place(wanted), wanted);
    EXPECT_EQ(labels.place(wanted), wanted.translated(0, 15));
    EXPECT_EQ(labels.place(wanted.translated(20, 0)), wanted.translated(20, -15));
    EXPECT_EQ(labels.place(QRect(300, 100, 60, 14)), QRect(300, 100, 60, 14));  // clear of the others
}

// A line end's name stands beyond the end, off the line: nothing of the
// line's yellow runs under it, and the two ends' names lie apart.
TEST(MapLabels, ALineEndsNameStandsBeyondIt)
{
    QImage picture(300, 100, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 128));
    QPainter p(&picture);
    LabelPlacer labels;
    const QPoint west(80, 50), east(220, 50);
    p.setPen(QColor(255, 255, 0));
    p.drawLine(west, east);
    drawCourseItem(p, labels, west, QStringLiteral("L1"), QColor(0, 0, 128), east);
    drawCourseItem(p, labels, east, QStringLiteral("L1"), QColor(0, 0, 128), west);
    p.end();
    // Red text left of the west end and right of the east end; none between.
    const auto redIn = [&](int from, int to) {
        int red = 0;
        for (int x = from; x < to; ++x)
            for (int y = 30; y < 70; ++y)
                red += picture.pixelColor(x, y).red() > 200 && picture.pixelColor(x, y).green() < 80;
        return red;
    };
    EXPECT_GT(redIn(0, 75), 10);
    EXPECT_GT(redIn(226, 300), 10);
    EXPECT_EQ(redIn(86, 214), 0);
}

}  // namespace
}  // namespace keelrun
