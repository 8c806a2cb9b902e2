// The analysis pages drawn from the bundled races.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include <QFontMetrics>
#include <gtest/gtest.h>

#include "race/loading_sequence.h"
#include "race/plane.h"
#include "render/pages/compare_view.h"
#include "render/pages/gap_chart.h"
#include "render/pages/start_view.h"
#include "render/pages/legs_page.h"
#include "render/pages/polars_page.h"
#include "render/painting.h"
#include "render/pixel_count.h"

namespace keelrun {
namespace {

RaceState loadedDemo(const QString &raceFile)
{
    RaceState loaded;
    const DataFolder folder(QStringLiteral(KEELRUN_DEMO_DATA));
    EXPECT_TRUE(loadRace(loaded, folder, folder.path(SubFolder::RaceAdmin, raceFile)).ok());
    return loaded;
}

// The bundled Solent race, seven boats round a triangle, loaded once.
const RaceState &solent()
{
    static const RaceState race = loadedDemo(QStringLiteral("solent-evening.txt"));
    return race;
}

// The bundled Hayama race, twenty boats in two classes over five legs.
const RaceState &hayama()
{
    static const RaceState race = loadedDemo(QStringLiteral("hayama-autumn.txt"));
    return race;
}

// The bundled foiler race, whose wind records span two bands of wind speed.
const RaceState &foilers()
{
    static const RaceState race = loadedDemo(QStringLiteral("foiler-sprint.txt"));
    return race;
}

// Ticked: only the boats given.
std::vector<bool> ticking(const RaceState &race, std::initializer_list<int> boats)
{
    std::vector<bool> shown(static_cast<std::size_t>(race.boatCount) + 1, false);
    for (const int b : boats)
        shown[static_cast<std::size_t>(b)] = true;
    return shown;
}

PageRequest requestFor(std::vector<bool> shown, Language language = Language::EnglishChosen, int highlighted = 0)
{
    return {800, std::move(shown), Qt::white, 1, language, highlighted > 0 ? std::vector<int>{highlighted} : std::vector<int>{}};
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
    QImage page(1280, 1000, QImage::Format_RGB32);
    makeGapChartPage()->draw(page, race, {1024, ticking(race, {1}), Qt::white, 1, Language::EnglishChosen});
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

// ---- The legs table --------------------------------------------------------

const QSize kWindowPage(965, 800);  // the page beside the map of a 1280 × 800 window

std::vector<ItemTable<LegResult>> legsOf(const RaceState &race)
{
    const FleetFixes fixes = fleetSteadyFixes(race);
    return analyseLegs(race, fixes, fleetPolar(race, fixes));
}

// The rows of a block from the top, each row's cells from the left: the
// name row, then a row a leg.
std::vector<std::vector<LegsCell>> rowsOf(const LegsTable &table, const LegsBlock &block)
{
    std::vector<std::vector<LegsCell>> rows;
    std::vector<LegsCell> cells;
    std::copy_if(table.cells.begin(), table.cells.end(), std::back_inserter(cells),
                 [&](const LegsCell &c) { return block.rect.contains(c.rect); });
    std::sort(cells.begin(), cells.end(), [](const LegsCell &a, const LegsCell &b) {
        return std::pair(a.rect.top(), a.rect.left()) < std::pair(b.rect.top(), b.rect.left());
    });
    for (const LegsCell &cell : cells) {
        if (rows.empty() || rows.back().front().rect.top() != cell.rect.top())
            rows.emplace_back();
        rows.back().push_back(cell);
    }
    return rows;
}

// A block of rows for each ticked boat and none for the others: its name
// across the table on its colour in a readable ink, then a row for each leg.
TEST(LegsPage, ABlockForEachTickedBoat)
{
    const RaceState &race = solent();
    const PageRequest request = requestFor(ticking(race, {1, 3, 4}));
    const LegsTable table = layOutLegsTable(kWindowPage, race, legsOf(race), request);
    std::vector<int> boats;
    for (const LegsBlock &block : table.blocks)
        boats.push_back(block.boat);
    EXPECT_EQ(boats, (std::vector<int>{1, 3, 4}));

    QImage page(kWindowPage, QImage::Format_RGB32);
    makeLegsPage()->draw(page, race, request);
    for (const LegsBlock &block : table.blocks) {
        const auto rows = rowsOf(table, block);
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(race.courseLength()));  // the name and the legs
        const LegsCell &name = rows[0][0];
        const QColor colour = toQColor(race.boats[block.boat].colour);
        EXPECT_EQ(name.text, race.boats[block.boat].name);
        EXPECT_EQ(page.pixelColor(name.rect.right() - 2, name.rect.center().y()), colour);
        EXPECT_GT(countColour(page, name.rect, textColourOn(colour)), 5);
        EXPECT_EQ(rows[1][0].text, QStringLiteral("1 upwind"));
        EXPECT_EQ(rows[1].size(), 9u);
    }
    for (const int unticked : {2, 5, 6})
        EXPECT_EQ(countColour(page, toQColor(race.boats[unticked].colour)), 0) << unticked;
}

// Every text fits its cell and the cells lie apart on the page below the
// tabs, in both languages; on the window's page all twenty boats of the
// Hayama race find room at a readable size, and on a small page those that
// do not are left out rather than drawn off it.
TEST(LegsPage, EveryTextFitsItsCell)
{
    const RaceState &race = hayama();
    const auto legs = legsOf(race);
    for (const Language language : {Language::EnglishChosen, Language::Japanese}) {
        const PageRequest request = requestFor({}, language);
        int ticked = 0;
        for (int b = 1; b <= race.boatCount; ++b)
            ticked += request.shows(race, b) ? 1 : 0;
        for (const QSize size : {kWindowPage, QSize(1655, 1080), QSize(640, 480)}) {
            const LegsTable table = layOutLegsTable(size, race, legs, request);
            const QFontMetrics metrics(table.font());
            const QRect belowTabs(QPoint(0, kBelowPageTabs), QPoint(size.width() - 1, size.height() - 1));
            for (std::size_t i = 0; i < table.cells.size(); ++i) {
                const LegsCell &cell = table.cells[i];
                EXPECT_LE(metrics.horizontalAdvance(cell.text), cell.rect.width()) << cell.text.toStdString();
                EXPECT_LE(metrics.height(), cell.rect.height()) << cell.text.toStdString();
                EXPECT_TRUE(belowTabs.contains(cell.rect)) << cell.text.toStdString();
                for (std::size_t k = i + 1; k < table.cells.size(); ++k)
                    ASSERT_FALSE(cell.rect.intersects(table.cells[k].rect)) << cell.text.toStdString();
            }
            if (size.height() >= kWindowPage.height()) {
                EXPECT_EQ(static_cast<int>(table.blocks.size()), ticked) << size.width();
                EXPECT_GE(table.fontPixels, 10);
            }
        }
    }
}

// A leg on which the boat won places reads "+n" in green, one on which it
// lost them "−n" in red.
TEST(LegsPage, PlacesGainedGreenLostRed)
{
    const RaceState &race = solent();
    const auto legs = legsOf(race);
    const LegsTable table = layOutLegsTable(kWindowPage, race, legs, requestFor({}));
    int gains = 0, losses = 0;
    for (const LegsBlock &block : table.blocks) {
        const auto rows = rowsOf(table, block);
        for (int j = 1; j < race.courseLength(); ++j) {
            const LegResult &leg = legs[block.boat][j];
            const LegsCell &gained = rows[j][7];
            if (!leg.sailed || leg.placesGained == 0)
                continue;
            if (leg.placesGained > 0) {
                EXPECT_EQ(gained.text, QStringLiteral("+%1").arg(leg.placesGained));
                EXPECT_GT(gained.ink.green(), 2 * gained.ink.red());
                ++gains;
            } else {
                EXPECT_EQ(gained.text, QStringLiteral(u"−%1").arg(-leg.placesGained));
                EXPECT_GT(gained.ink.red(), 2 * gained.ink.green());
                ++losses;
            }
        }
    }
    EXPECT_GT(gains, 0);
    EXPECT_GT(losses, 0);
}

// The boat under the pointer in the list gets a frame in its colour round
// its block; a boat without a block marks nothing.
TEST(LegsPage, TheHoveredBoatsBlockFramed)
{
    const RaceState &race = solent();
    const PageRequest request = requestFor(ticking(race, {1, 3, 4}));
    const auto legsPage = makeLegsPage();
    QImage page(kWindowPage, QImage::Format_RGB32);
    legsPage->draw(page, race, request);
    const LegsBlock block = layOutLegsTable(kWindowPage, race, legsOf(race), request).blocks[1];
    ASSERT_EQ(block.boat, 3);
    const QColor colour = toQColor(race.boats[3].colour);
    const QRect above(block.rect.left(), block.rect.top() - 2, block.rect.width(), 1);
    const QRect left(block.rect.left() - 2, block.rect.top(), 1, block.rect.height());
    EXPECT_EQ(countColour(page, above, colour), 0);

    QImage marked = page;
    legsPage->markBoat(marked, race, request, 3);
    EXPECT_EQ(countColour(marked, above, colour), above.width());
    EXPECT_EQ(countColour(marked, left, colour), left.height());
    QImage unmarked = page;
    legsPage->markBoat(unmarked, race, request, 2);
    EXPECT_EQ(unmarked, page);
}

// ---- The polar diagram -----------------------------------------------------

double fastestFixOf(const FleetFixes &fixes)
{
    double fastest = 0;
    for (const auto &boat : fixes) {
        for (const SteadyFix &fix : boat)
            fastest = std::max(fastest, fix.knots);
    }
    return fastest;
}

// The bands with a target, lowest wind first (one, without a band, where
// the wind records give no speeds).
std::vector<std::optional<int>> targetBands(const FleetPolar &polar)
{
    std::vector<std::optional<int>> bands;
    for (const PolarBin &bin : polar.bins) {
        if (bin.target && std::find(bands.begin(), bands.end(), bin.twsFrom) == bands.end())
            bands.push_back(bin.twsFrom);
    }
    std::sort(bands.begin(), bands.end());
    return bands;
}

QColor bandColour(const std::vector<std::optional<int>> &bands, std::optional<int> band)
{
    const auto index = static_cast<int>(std::find(bands.begin(), bands.end(), band) - bands.begin());
    return targetLineColour(band ? std::optional<int>(index) : std::nullopt, static_cast<int>(bands.size()));
}

// Each bin's target stands on the line at the angle of the bin's middle,
// as far from the pole as its speed over the outer ring's speed puts it;
// the outer ring's speed is the fastest fix's, rounded up to a ring, and
// the half disc lies on the page below the tabs.
TEST(PolarsPage, TheTargetAtTheRadiusOfItsSpeed)
{
    const RaceState &race = solent();
    QImage page(kWindowPage, QImage::Format_RGB32);
    makePolarsPage()->draw(page, race, requestFor(ticking(race, {})));
    const FleetFixes fixes = fleetSteadyFixes(race);
    const FleetPolar polar = fleetPolar(race, fixes);
    const PolarAxes axes(page.size(), fastestFixOf(fixes));
    EXPECT_GE(axes.outerKnots, fastestFixOf(fixes));
    EXPECT_LT(axes.outerKnots, fastestFixOf(fixes) + axes.ringKnots);
    EXPECT_GE(axes.pole.y() - axes.radius, kBelowPageTabs);
    EXPECT_LT(axes.pole.y() + axes.radius, page.height());
    EXPECT_LT(axes.pole.x() + axes.radius, page.width());
    EXPECT_GT(axes.radius, 300);

    const auto bands = targetBands(polar);
    int checked = 0;
    for (const PolarBin &bin : polar.bins) {
        if (!bin.target)
            continue;
        const double angle = (bin.twaFrom + kAngleBinDegrees / 2.0) * std::numbers::pi / 180;
        const double r = *bin.target / axes.outerKnots * axes.radius;
        const QPoint expected = axes.pole + QPointF(r * std::sin(angle), -r * std::cos(angle)).toPoint();
        const QRect around(expected - QPoint(2, 2), QSize(5, 5));
        EXPECT_GT(countColour(page, around, bandColour(bands, bin.twsFrom)), 0) << bin.twaFrom;
        ++checked;
    }
    EXPECT_GT(checked, 5);
}

// The chosen boat's fixes stand as dots in its colour: the highlighted
// boat while it is ticked, else the first ticked one; no boat's without a
// ticked boat, and never an unticked boat's.
TEST(PolarsPage, OnlyTheChosenBoatsFixes)
{
    const RaceState &race = solent();
    const auto dotsOf = [&](std::initializer_list<int> ticked, int highlighted, int boat) {
        QImage page(kWindowPage, QImage::Format_RGB32);
        makePolarsPage()->draw(page, race, requestFor(ticking(race, ticked), Language::EnglishChosen, highlighted));
        return countColour(page, toQColor(race.boats[boat].colour));
    };
    EXPECT_GT(dotsOf({2, 4}, 0, 2), 100);
    EXPECT_EQ(dotsOf({2, 4}, 0, 4), 0);
    EXPECT_EQ(dotsOf({2, 4}, 0, 1), 0);
    EXPECT_GT(dotsOf({2, 4}, 4, 4), 100);
    EXPECT_EQ(dotsOf({2, 4}, 4, 2), 0);
    EXPECT_GT(dotsOf({2, 4}, 1, 2), 100);  // boat 1 is highlighted but not ticked
    EXPECT_EQ(dotsOf({2, 4}, 1, 1), 0);
    for (int b = 1; b <= 6; ++b)
        EXPECT_EQ(dotsOf({}, 0, b), 0) << b;
}

// The boat under the pointer in the list shows its fixes beside the chosen
// boat's, the target lines kept over them.
TEST(PolarsPage, TheHoveredBoatsFixesBesideTheChosen)
{
    const RaceState &race = solent();
    const PageRequest request = requestFor(ticking(race, {2}));
    const auto polarsPage = makePolarsPage();
    QImage page(kWindowPage, QImage::Format_RGB32);
    polarsPage->draw(page, race, request);
    const QColor hovered = toQColor(race.boats[5].colour), chosen = toQColor(race.boats[2].colour);
    const QColor line = bandColour(targetBands(fleetPolar(race)), targetBands(fleetPolar(race)).front());
    EXPECT_EQ(countColour(page, hovered), 0);

    QImage marked = page;
    polarsPage->markBoat(marked, race, request, 5);
    EXPECT_GT(countColour(marked, hovered), 100);
    EXPECT_GT(countColour(marked, chosen), 100);
    EXPECT_GE(countColour(marked, line), countColour(page, line));
}

// Where the wind records give the wind's speed, a line for each band, the
// lighter wind's lighter.
TEST(PolarsPage, ALineForEachWindBand)
{
    EXPECT_GT(targetLineColour(0, 3).lightness(), targetLineColour(1, 3).lightness());
    EXPECT_GT(targetLineColour(1, 3).lightness(), targetLineColour(2, 3).lightness());
    EXPECT_EQ(targetLineColour(std::nullopt, 0), targetLineColour(2, 3));

    const RaceState &race = foilers();
    const FleetPolar polar = fleetPolar(race);
    ASSERT_TRUE(polar.bandsByWindSpeed);
    const auto bands = targetBands(polar);
    ASSERT_GE(bands.size(), 2u);
    QImage page(kWindowPage, QImage::Format_RGB32);
    makePolarsPage()->draw(page, race, requestFor(ticking(race, {})));
    for (const auto &band : bands)
        EXPECT_GT(countColour(page, bandColour(bands, band)), 0) << *band;
}

}  // namespace
}  // namespace keelrun
