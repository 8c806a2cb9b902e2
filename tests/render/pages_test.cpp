// The Graph and Analysis pages and the hover overlays drawn over them.

#include <gtest/gtest.h>


#include "render/pages/analysis_page.h"
#include "render/pages/graph_page.h"
#include "render/pages/page_texts.h"
#include "render/pages/page_hovers.h"
#include "render/pages/race_page.h"
#include "render/pages/thin_trace.h"
#include "render/painting.h"
#include "render/pixel_count.h"

namespace keelrun {
namespace {

const QColor kSea(110, 160, 255);
const QColor kBoat1(200, 0, 0);
const QColor kBoat2(0, 150, 0);
const QColor kRed(255, 0, 0);

// Curves drawn straight into the picture: every row between a segment's
// ends gets its pixels, nothing outside the picture is touched.
// On a picture for a screen scaled by 2 a trace stands where the drawing
// puts it, at twice the pixels, not in the top-left quarter.
TEST(ThinTrace, FollowsAScaledPicture)
{
    QImage picture(80, 60, QImage::Format_RGB32);
    picture.setDevicePixelRatio(2);
    picture.fill(Qt::white);
    drawThinTrace(picture, {QPolygon({QPoint(30, 10), QPoint(30, 25)})}, qRgb(200, 0, 0));
    EXPECT_GT(countColour(picture, QRect(58, 22, 6, 26), kBoat1), 10);
    EXPECT_EQ(countColour(picture, QRect(0, 0, 40, 30), kBoat1), 0);
}

TEST(ThinTrace, SegmentsRowByRowAndClipped)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QRgb ink = qRgb(200, 0, 0);
    drawThinTrace(picture, {QPolygon{{2, 20}, {12, 20}, {16, 10}}, QPolygon{{30, 5}}, QPolygon{{-50, 25}, {100, 25}}}, ink);
    EXPECT_EQ(picture.pixel(2, 20), ink);
    EXPECT_EQ(picture.pixel(12, 20), ink);
    EXPECT_EQ(picture.pixel(1, 20), qRgb(255, 255, 255));
    for (int y = 10; y <= 20; ++y) {  // the steep segment: a pixel on every row
        int inked = 0;
        for (int x = 11; x <= 17; ++x)
            inked += picture.pixel(x, y) == ink ? 1 : 0;
        EXPECT_GE(inked, 1) << y;
    }
    EXPECT_EQ(picture.pixel(16, 10), ink);
    EXPECT_EQ(picture.pixel(30, 5), ink);  // a piece of one point
    EXPECT_EQ(picture.pixel(0, 25), ink);  // clipped at both edges
    EXPECT_EQ(picture.pixel(39, 25), ink);

    QImage other(10, 10, QImage::Format_RGB16);  // another format goes through the painter
    other.fill(Qt::white);
    drawThinTrace(other, {QPolygon{{0, 5}, {9, 5}}}, ink);
    EXPECT_NE(other.pixel(5, 5), qRgb(255, 255, 255));
}

// With a colour a point, each segment takes the colour of the point it
// starts from, and a piece of one point that point's; the last point of a
// piece starts nothing.
TEST(ThinTrace, EachSegmentInTheColourOfThePointItStartsFrom)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), green = qRgb(0, 255, 0);
    drawThinTrace(picture, {QPolygon{{2, 20}, {12, 20}, {12, 10}}, QPolygon{{30, 5}}}, {{red, blue, green}, {green}});
    EXPECT_EQ(picture.pixel(2, 20), red);
    EXPECT_EQ(picture.pixel(8, 20), red);
    EXPECT_EQ(picture.pixel(12, 15), blue);
    EXPECT_EQ(picture.pixel(12, 10), blue);
    EXPECT_EQ(picture.pixel(30, 5), green);
    EXPECT_EQ(picture.pixel(13, 10), qRgb(255, 255, 255));

    QImage other(10, 10, QImage::Format_RGB16);  // another format goes through the painter
    other.fill(Qt::white);
    drawThinTrace(other, {QPolygon{{0, 5}, {5, 5}, {9, 5}}}, {{red, blue, green}});
    EXPECT_EQ(QColor(other.pixel(2, 5)), QColor(red));
    EXPECT_EQ(QColor(other.pixel(8, 5)), QColor(blue));
}

// An hour's window, the wind from north, two boats sailing north: boat 1 at
// 6 knots, boat 2 (unticked) at 3 knots, a fix a minute.
class GraphPageTest : public ::testing::Test {
protected:
    GraphPageTest()
    {
        race.windowStart = 0;
        race.windowEnd = race.windowLength = 3600;
        race.topSpeed = 8;  // a scale of 12 knots
        race.boatCount = 2;
        const double speeds[] = {0, 6, 3};
        const QColor colours[] = {{}, kBoat1, kBoat2};
        for (int b = 1; b <= 2; ++b) {
            BoatEntry &boat = race.boats[b];
            boat.name = QStringLiteral("Boat %1").arg(b);
            boat.colour = {std::uint8_t(colours[b].red()), std::uint8_t(colours[b].green()), std::uint8_t(colours[b].blue())};
            boat.shown = 1;
            for (int t = 0; t <= 3600; t += 60)
                boat.samples.push_back({double(t), 0, 0, speeds[b], 0});
        }
    }

    QImage draw(bool boat2Ticked = false)
    {
        QImage page(800, 677, QImage::Format_RGB32);
        drawGraphPage(page, race, {677, {false, true, boat2Ticked}, kSea, 1});
        return page;
    }

    // 800 wide in a window 677 high: graphs 600 high from y = 40.
    GraphAxes axes() const { return {race, 800, 677}; }

    RaceState race;
};

TEST_F(GraphPageTest, Axes)
{
    EXPECT_EQ(axes().height, 600);
    EXPECT_EQ(axes().width1, 355);
    EXPECT_EQ(axes().left2, 410);
    EXPECT_EQ(axes().width2, 380);
    EXPECT_EQ(axes().y(0), 640);     // the window's start at the bottom
    EXPECT_EQ(axes().y(1800), 340);
    EXPECT_EQ(axes().y(3600), 40);
    EXPECT_EQ(axes().xDirection(0), 129);    // the wind a quarter of the way across
    EXPECT_EQ(axes().xDirection(180), 306);  // downwind three quarters
    EXPECT_EQ(axes().xSpeed(6), 600);

    race.topSpeed = 3;  // 4.5 rounds to 4, raised to 6
    EXPECT_EQ(GraphAxes(race, 800, 677).speedScale, 6);
    race.topSpeed = 12;
    EXPECT_EQ(GraphAxes(race, 800, 677).speedScale, 18);
    EXPECT_EQ(GraphAxes(race, 800, 677).speedLabelStep(), 1);  // 21 pixels a knot
    race.topSpeed = 45;  // a foiling fleet: its curves stay on the graph
    const GraphAxes foilers(race, 800, 677);
    EXPECT_EQ(foilers.speedScale, 68);
    EXPECT_EQ(foilers.xSpeed(45), 410 + 251);
    EXPECT_EQ(foilers.speedLabelStep(), 5);
    EXPECT_EQ(foilers.speedLineStep(), 5);  // 5.6 pixels a knot: a line at each label
    race.topSpeed = 80;
    EXPECT_EQ(GraphAxes(race, 800, 677).speedScale, 75);
    race.topSpeed = 20;
    EXPECT_EQ(GraphAxes(race, 800, 677).speedLabelStep(), 2);  // 12.7 pixels a knot
    EXPECT_EQ(GraphAxes(race, 800, 677).speedLineStep(), 1);
    race.topSpeed = 8;
    EXPECT_EQ(GraphAxes(race, 800, 677).speedScale, 12);

    EXPECT_EQ(timeGridStep(3 * 3600), 300);
    EXPECT_EQ(timeGridStep(3 * 3600 + 1), 600);
    EXPECT_EQ(timeGridStep(30 * 3600), 3600);
    EXPECT_EQ(graphTimeLabel(3900), "1:05");
    EXPECT_EQ(graphTimeLabel(0), "0:00");
    EXPECT_EQ(graphTimeLabel(7200), "2:00");
}

// With the wind from north the seam of the direction axis lies at 270:
// 265 then 275 leaves at one edge and comes back at the other, both at the
// middle height; 355 then 5 is one straight piece.
TEST_F(GraphPageTest, CourseAcrossTheSeamMeetsBothEdges)
{
    BoatEntry &boat = race.boats[1];
    boat.samples = {{}, {0, 0, 0, 5, 265}, {600, 0, 0, 5, 275}};
    const Trace seam = courseTrace(axes(), race, 1);
    ASSERT_EQ(seam.size(), 2u);
    const int middle = (axes().y(0) + axes().y(600)) / 2;
    EXPECT_EQ(seam[0], (QPolygon{{axes().xDirection(265), axes().y(0)}, {40 + 355, middle}}));  // out at the right edge
    EXPECT_EQ(seam[1], (QPolygon{{40, middle}, {axes().xDirection(275), axes().y(600)}}));      // back in at the left

    boat.samples = {{}, {0, 0, 0, 5, 355}, {600, 0, 0, 5, 5}};
    EXPECT_EQ(courseTrace(axes(), race, 1), (Trace{{{axes().xDirection(355), axes().y(0)}, {axes().xDirection(5), axes().y(600)}}}));

    boat.samples = {{}, {0, 0, 0, 5, 5}, {1, 0, 0, 5, 5}, {3700, 0, 0, 5, 5}};
    EXPECT_EQ(speedTrace(axes(), race, 1), (Trace{{{axes().xSpeed(5), axes().y(0)}}}));  // one pixel; the last fix after the window
}

// Nothing is known of a boat's course or speed while its logger was off: the
// traces break at a gap rather than join its two sides.
TEST_F(GraphPageTest, TracesBreakAtALoggerGap)
{
    race.windowStart = -8000;
    race.windowLength = 12000;
    BoatEntry &boat = race.boats[1];
    boat.samples = {{}, {-8000, 0, 0, 4, 10}, {-7990, 0, 0, 4, 10}, {0, 0, 0, 6, 20}, {10, 0, 0, 6, 20}};
    const Trace speeds = speedTrace(axes(), race, 1);
    ASSERT_EQ(speeds.size(), 2u);
    EXPECT_EQ(speeds[0].size(), 1);  // one pixel high
    EXPECT_EQ(speeds[1].constFirst(), QPoint(axes().xSpeed(6), axes().y(0)));
    EXPECT_EQ(courseTrace(axes(), race, 1).size(), 2u);
}

TEST_F(GraphPageTest, TickedBoatsCurvesOnly)
{
    const QImage page = draw();
    EXPECT_EQ(page.pixelColor(axes().xSpeed(6), 340), kBoat1);
    EXPECT_EQ(page.pixelColor(axes().xDirection(0), 340), kBoat1);
    EXPECT_NE(page.pixelColor(axes().xSpeed(3), 340), kBoat2);  // unticked
    EXPECT_EQ(draw(true).pixelColor(axes().xSpeed(3), 340), kBoat2);
    EXPECT_EQ(page.pixelColor(2, 300), kSea);
    EXPECT_EQ(page.pixelColor(axes().left2 + 3, 300), QColor(225, 225, 255));  // the graph's face
}

TEST_F(GraphPageTest, CorrectedTimeNoteAndWind)
{
    QImage page = draw();
    EXPECT_EQ(countColour(page, QRect(0, 4, 800, 10), kRed), 0);
    EXPECT_EQ(page.pixelColor(axes().xDirection(45), 345), QColor(225, 225, 255));  // no wind line
    const QRect twsRow(axes().left2, axes().kTop + axes().height + 19, 380, 12);
    EXPECT_EQ(countColour(page, twsRow, QColor(0, 0, 255)), 0);  // nor a wind speed scale

    race.ctMode = 1;
    race.maxWindSpeed = 14;
    race.windSamples = {{}, {0, 10, 45}, {3600, 14, 45}};
    page = draw();
    EXPECT_GT(countColour(page, QRect(0, 4, 800, 10), kRed), 1000);  // the banner
    EXPECT_EQ(page.pixelColor(axes().xDirection(45), 345), kRed);
    EXPECT_GT(countColour(page, twsRow, QColor(0, 0, 255)), 0);
}

TEST_F(GraphPageTest, HoverDrawsThickCurvesAndTheWindTrace)
{
    QImage picture = draw();
    drawGraphHover(picture, race, axes(), 2);  // even an unticked boat
    EXPECT_EQ(picture.pixelColor(axes().xSpeed(3), 340), kBoat2);
    EXPECT_EQ(picture.pixelColor(axes().xSpeed(3) + 2, 340), QColor(Qt::white));  // its halo
    EXPECT_GT(countColour(picture, QRect(340, 18, 120, 18), kRed), 0);       // its name

    QImage withoutWind = draw();
    const QImage before = withoutWind;
    drawWindTrace(withoutWind, race, axes());
    EXPECT_EQ(withoutWind, before);  // nothing to draw

    race.estimatedWind = {{0, 45}, {3600, 45}};  // the fleet's wind instead, in orange
    QImage estimated = draw();
    drawWindTrace(estimated, race, axes());
    EXPECT_EQ(estimated.pixelColor(axes().xDirection(45), 340), kEstimatedWind);
    EXPECT_EQ(estimated.pixelColor(axes().xSpeed(6), 345), before.pixelColor(axes().xSpeed(6), 345));  // no wind speeds

    race.windSamples = {{}, {0, 12, 45}, {3600, 12, 45}};
    race.maxWindSpeed = 14;
    QImage wind = draw();
    drawWindTrace(wind, race, axes());
    EXPECT_EQ(wind.pixelColor(axes().xDirection(45), 340), kRed);
    // 12 knots of wind at half scale lies over boat 1's speed, haloed.
    EXPECT_EQ(wind.pixelColor(axes().xSpeed(6), 345), QColor(0, 0, 255));
    EXPECT_EQ(wind.pixelColor(axes().xSpeed(6) + 2, 345), QColor(Qt::white));
}

// Three finishers on an 800 x 600 page: the first figure's plot runs from
// (40, 30) to (360, 270); its data fill 240 x 180 about the centre (200, 150).
class AnalysisPageTest : public ::testing::Test {
protected:
    AnalysisPageTest()
    {
        race.course = {"L1", "MK1", "L1"};
        race.boatCount = 3;
        const double distances[] = {0, 10000, 11000, 10500}, times[] = {0, 4000, 4500, 4250};
        for (int b = 1; b <= 3; ++b) {
            BoatEntry &boat = race.boats[b];
            boat.name = QStringLiteral("Boat %1").arg(b);
            boat.colour = {std::uint8_t(60 * b), 0, 0};
            boat.shown = 1;
            boat.roundingTime[1] = 0;
            boat.roundingTime[3] = times[b];
            boat.legDistance[3] = distances[b];
            boat.upwindDistance = distances[b] / 2 / 1852;
            boat.upwindTime = times[b] / 2;
        }
    }

    FigurePoints draw(QImage &page, std::vector<bool> shown = {})
    {
        page = QImage(800, 600, QImage::Format_RGB32);
        return drawAnalysisPage(page, race, {600, std::move(shown), kSea, 1});
    }

    QColor colour(int b) const { return QColor(60 * b, 0, 0); }
    RaceState race;
};

TEST_F(AnalysisPageTest, DotsStandAtDistanceAndTime)
{
    QImage page;
    const FigurePoints points = draw(page);
    EXPECT_EQ(points[1][WholeRace], QPoint(80, 240));   // least distance, least time
    EXPECT_EQ(points[2][WholeRace], QPoint(320, 60));
    EXPECT_EQ(points[3][WholeRace], QPoint(200, 150));
    EXPECT_EQ(page.pixelColor(80, 240), colour(1));
    EXPECT_EQ(points[1][DownwindLegs], QPoint());  // no downwind legs: no dot, and no figure
    EXPECT_EQ(countColour(page, QRect(400, 300, 400, 30), QColor(0, 128, 0)), 0);
    EXPECT_GT(countColour(page, QRect(0, 0, 400, 30), QColor(0, 128, 0)), 0);  // figure 1's title
    EXPECT_GT(countColour(page, QRect(41, 31, 318, 238), kRed), 100);         // iso-speed lines
}

// A foiling fleet sails the same course five times as fast, at about 25
// knots: the lines of constant speed run through its figures too, spaced
// to the wider spread of speeds its plot spans.
TEST_F(AnalysisPageTest, IsoSpeedLinesCoverAFastFleet)
{
    for (int b = 1; b <= 3; ++b) {
        race.boats[b].roundingTime[3] /= 5;
        race.boats[b].upwindTime /= 5;
    }
    QImage page;
    draw(page);
    const int red = countColour(page, QRect(41, 31, 318, 238), kRed);
    EXPECT_GT(red, 100);
    EXPECT_LT(red, 318 * 238 / 10);  // lines, not a red wash
}

// An unticked boat is hollow, unnamed, and leaves the axes to the others.
TEST_F(AnalysisPageTest, UntickedBoatsAreHollowAndDoNotSetTheAxes)
{
    QImage page;
    const FigurePoints points = draw(page, {false, true, true, false});
    EXPECT_EQ(points[3][WholeRace], QPoint(200, 150));  // still in the middle of boats 1 and 2
    EXPECT_EQ(page.pixelColor(200, 150), QColor(Qt::white));
    EXPECT_GT(countColour(page, QRect(195, 145, 11, 11), colour(3)), 0);

    race.boats[2].legDistance[3] = 10000;  // all at one distance and time: ranges of 100 about it
    race.boats[2].roundingTime[3] = 4000;
    const FigurePoints same = draw(page, {false, true, true, false});
    EXPECT_EQ(same[1][WholeRace], QPoint(200, 150));
    EXPECT_EQ(same[3][WholeRace], QPoint());  // 500 m off: outside the plot, not drawn
}

TEST_F(AnalysisPageTest, NoFinisherLeavesTheFirstFigureOut)
{
    for (int b = 1; b <= 3; ++b)
        race.boats[b].roundingTime[3] = kNotReached;
    QImage page;
    const FigurePoints points = draw(page);
    EXPECT_EQ(countColour(page, QRect(0, 0, 400, 30), QColor(0, 128, 0)), 0);
    EXPECT_EQ(points[1][WholeRace], QPoint());
    EXPECT_NE(points[1][UpwindLegs], QPoint());
}

TEST_F(AnalysisPageTest, GridSteps)
{
    EXPECT_EQ(analysisGridStep(1000), 100);
    EXPECT_EQ(analysisGridStep(500), 100);
    EXPECT_EQ(analysisGridStep(250), 20);
    EXPECT_EQ(analysisGridStep(2000), 200);
    EXPECT_EQ(analysisGridStep(3100), 500);
    EXPECT_EQ(analysisGridStep(1400), 100);
}

TEST_F(AnalysisPageTest, HoverSpellsOutTheBoatsFigures)
{
    QImage page;
    const FigurePoints points = draw(page);
    QImage picture = page;
    drawAnalysisHover(picture, race, points, 1);
    EXPECT_EQ(picture.pixelColor(80, 240), colour(1));
    EXPECT_EQ(picture.pixelColor(80, 234), QColor(Qt::black));  // the ring, radius 6
    EXPECT_GT(countColour(picture, QRect(88, 234, 200, 12), colour(1)), 200);  // the label's box
    EXPECT_EQ(picture.pixelColor(88 + 300, 236), page.pixelColor(88 + 300, 236));
    EXPECT_NE(picture, page);
    const QImage before = picture;
    drawAnalysisHover(picture, race, points, 7);  // no such boat
    EXPECT_EQ(picture, before);
}

// The Analysis page as an object: the picture the drawing gives, the
// hovered boat marked from the dots it drew, the names beside them, and the
// table button; the map has no page object, and the names are the command
// line's.
TEST_F(AnalysisPageTest, ThePageObjectDrawsMarksAndNames)
{
    EXPECT_EQ(makeRacePage(Page::Track), nullptr);
    const auto page = makeRacePage(Page::Analysis);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->offersTable());
    EXPECT_FALSE(makeRacePage(Page::Graph)->offersTable());
    QImage unnamed(800, 600, QImage::Format_RGB32);
    EXPECT_FALSE(page->showPointer(unnamed, race, {100, 100}, 1));  // nothing drawn yet: no dots to name

    QImage drawn(800, 600, QImage::Format_RGB32), byHand;
    const PageRequest request{600, {}, kSea, 1};
    page->draw(drawn, race, request);
    const FigurePoints points = draw(byHand);
    EXPECT_EQ(drawn, byHand);
    QImage marked = drawn, markedByHand = byHand;
    page->markBoat(marked, race, request, 1);
    drawAnalysisHover(markedByHand, race, points, 1);
    EXPECT_EQ(marked, markedByHand);
    QImage named = drawn;
    EXPECT_TRUE(page->showPointer(named, race, {100, 100}, 1));
    EXPECT_NE(named, drawn);
    EXPECT_FALSE(page->showPointer(named, race, {100, 100}, 0));  // names not asked for

    EXPECT_EQ(pageNamed("analysis"), Page::Analysis);
    EXPECT_EQ(pageNamed("polars"), Page::Polars);
    EXPECT_EQ(pageNamed("legs"), Page::Legs);
    EXPECT_EQ(pageNameList(), "track, graph, analysis, start, gaps, legs, polars or compare");
}

// The pages' titles and axis names come in Japanese too: none is left in
// English on a Japanese window.
TEST(PageTexts, EveryTextHasItsJapanese)
{
    for (const PageText text : {PageText::WholeRaceFigure, PageText::UpwindFigure, PageText::DownwindFigure, PageText::TimeAxis,
                                PageText::DistanceAxis, PageText::CourseAndWind, PageText::EstimatedWind, PageText::BoatSpeed,
                                PageText::CorrectedTimeNote}) {
        const QString english = pageText(text, Language::EnglishChosen), japanese = pageText(text, Language::Japanese);
        EXPECT_FALSE(english.trimmed().isEmpty());
        EXPECT_NE(japanese, english);
        EXPECT_TRUE(std::any_of(japanese.begin(), japanese.end(), [](QChar c) { return c.unicode() >= 0x3000; })) << english.toStdString();
    }
}

}  // namespace
}  // namespace keelrun
