// The analysis pages drawn from a bundled race: the gap chart and the start.

#include <gtest/gtest.h>

#include "race/loading_sequence.h"
#include "race/plane.h"
#include "render/pages/compare_view.h"
#include "render/pages/gap_chart.h"
#include "render/pages/start_view.h"
#include "render/painting.h"
#include "render/pixel_count.h"

namespace keelrun {
namespace {

// The bundled Solent race, seven boats round a triangle, loaded once.
const RaceState &solent()
{
    static const RaceState race = [] {
        RaceState loaded;
        const DataFolder folder(QStringLiteral(KEELRUN_DEMO_DATA));
        EXPECT_TRUE(loadRace(loaded, folder, folder.path(SubFolder::RaceAdmin, QStringLiteral("solent-evening.txt"))).ok());
        return loaded;
    }();
    return race;
}

// The leader runs along the zero line at the top, everyone else below it;
// the chart spans the race from the gun, and a hovered boat's line is drawn
// thick; the pointer on a line reads the boat and its gap, off the lines
// nothing.
TEST(GapChart, TheLeaderOnTheZeroLineTheOthersBelow)
{
    const RaceState &race = solent();
    const CourseProgress progress = courseProgress(race);
    const PageRequest request{1024, {}, Qt::white, 1, Language::EnglishChosen};
    QImage page(1280, 1000, QImage::Format_RGB32);
    const auto chart = makeGapChartPage();
    chart->draw(page, race, request);
    const GapChartAxes axes(page.size(), race, progress, request);
    EXPECT_EQ(axes.x(0), axes.plot.left());
    EXPECT_EQ(axes.y(0), axes.plot.top());
    EXPECT_EQ(axes.y(axes.mostBehind), axes.plot.bottom());
    EXPECT_NEAR(axes.timeAt(axes.x(1800)), 1800, (axes.toTime - axes.fromTime) / axes.plot.width());

    // Mid-race the leader's colour stands on the zero line (a pixel below
    // the frame), the last boat's at its gap.
    const std::size_t i = static_cast<std::size_t>(1200 / progress.step);
    const int leader = progress.leader[i];
    const QPoint onZero(axes.x(progress.times[i]), axes.y(0) + 1);
    EXPECT_GT(countColour(page, QRect(onZero - QPoint(2, 1), QSize(5, 3)), toQColor(race.boats[leader].colour)), 0);

    QImage hovered = page;
    chart->markBoat(hovered, race, request, leader);
    EXPECT_GT(countColour(hovered, toQColor(race.boats[leader].colour)), countColour(page, toQColor(race.boats[leader].colour)));

    int last = 0;
    for (int b = 1; b <= race.boatCount; ++b) {
        if (progress.boats[b][i].racing && (last == 0 || progress.boats[b][i].gapMetres > progress.boats[last][i].gapMetres))
            last = b;
    }
    const QPoint onLine(axes.x(progress.times[i]), axes.y(progress.boats[last][i].gapMetres));
    QImage pointed = page;
    EXPECT_TRUE(chart->showPointer(pointed, race, onLine, 1));
    EXPECT_NE(pointed, page);
    EXPECT_FALSE(chart->showPointer(pointed, race, QPoint(5, 5), 1));  // off the plot
}

// Unticked boats are left off the chart.
TEST(GapChart, OnlyTickedBoats)
{
    const RaceState &race = solent();
    std::vector<bool> shown(static_cast<std::size_t>(race.boatCount) + 1, false);
    shown[1] = true;
    QImage page(1280, 1000, QImage::Format_RGB32);
    makeGapChartPage()->draw(page, race, {1024, shown, Qt::white, 1, Language::EnglishChosen});
    EXPECT_GT(countColour(page, toQColor(race.boats[1].colour)), 100);
    EXPECT_EQ(countColour(page, toQColor(race.boats[2].colour)), 0);
}

// The start is drawn with the first leg pointing up: the first mark lies
// straight above the line's middle; the line in yellow, every ticked boat's
// approach in its colour, its name on its colour in the table; a race that
// starts at no line says so.
TEST(StartView, TheLineWithTheFirstLegUpAndEveryBoatsApproach)
{
    const RaceState &race = solent();
    const auto frame = startFrame(race);
    ASSERT_TRUE(frame);
    const QPointF mark = frame->metres(race.legs.coursePoint[2]);
    EXPECT_NEAR(mark.x(), 0, 1);
    EXPECT_GT(mark.y(), race.legs.legLength[1] - 200);  // from the line's middle rather than its end

    QImage page(1280, 1000, QImage::Format_RGB32);
    const auto start = makeStartPage();
    const PageRequest request{1024, {}, Qt::white, 1, Language::EnglishChosen};
    start->draw(page, race, request);
    EXPECT_GT(countColour(page, QColor(255, 200, 0)), 100);  // the line
    const QRect table(1280 - 460, 60, 460, 16 * (race.boatCount + 1));
    for (int b = 1; b <= race.boatCount; ++b)
        EXPECT_GT(countColour(page, table, toQColor(race.boats[b].colour)), 50) << b;
    QImage marked = page;
    start->markBoat(marked, race, request, 3);
    EXPECT_NE(marked, page);

    RaceState noLine = race;
    noLine.course[0] = QStringLiteral("MK1");
    EXPECT_FALSE(startFrame(noLine));
    QImage plain(400, 300, QImage::Format_RGB32);
    start->draw(plain, noLine, request);
    EXPECT_EQ(countColour(plain, QColor(255, 200, 0)), 0);
}

// Two boats compared: those picked, the highlighted first, else the first
// two ticked; their speeds drawn in their colours, a third boat's not; with
// fewer than two, a word on how to pick them.
TEST(CompareView, TheTwoPickedBoats)
{
    const RaceState &race = solent();
    PageRequest request{1024, {}, Qt::white, 1, Language::EnglishChosen};
    EXPECT_EQ(comparedBoats(race, request), (std::pair{1, 2}));
    request.chosen = {5, 3, 4};
    EXPECT_EQ(comparedBoats(race, request), (std::pair{5, 3}));
    QImage page(1280, 1000, QImage::Format_RGB32);
    makeComparePage()->draw(page, race, request);
    const QRect speeds(70, 400, 1180, 250);
    EXPECT_GT(countColour(page, speeds, toQColor(race.boats[5].colour)), 100);
    EXPECT_GT(countColour(page, speeds, toQColor(race.boats[3].colour)), 100);
    EXPECT_EQ(countColour(page, speeds, toQColor(race.boats[4].colour)), 0);
    request.chosen = {5};
    EXPECT_FALSE(comparedBoats(race, request));
}

}  // namespace
}  // namespace keelrun
