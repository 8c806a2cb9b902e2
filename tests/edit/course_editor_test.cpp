// Course and wind editing, and what the pointer over the map sets.

#include <gtest/gtest.h>

#include "edit/course_editor.h"
#include "edit/logged_start.h"
#include "edit/map_pointer.h"
#include "edit/wind_edit.h"

namespace keelrun {
namespace {

GeoPoint at(double lat, double lon) { return {lat, lon}; }

TEST(CourseEditor, MarksLinesAndCourse)
{
    RaceState race;
    CourseEditor editor;
    editor.setTool(EditTool::Marks);
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(editor.click(race, at(2100 + i, 8200), true, {}).changed);
    race.course = {"MK1", "MK3"};
    EXPECT_TRUE(editor.click(race, {}, false, {2, 0, "MK2", true}).changed);  // remove mark 2 of 4
    ASSERT_EQ(race.markCount, 3);
    EXPECT_EQ(race.marks[2].lat, 2103);  // the old third, now second
    EXPECT_EQ(race.course, (QStringList{"MK1", "MK3"}));  // the course keeps its texts
    EXPECT_TRUE(editor.edits().marks);
    EXPECT_FALSE(editor.edits().course);

    // Two Shift-clicks make one line; a third starts another.
    editor.setTool(EditTool::LineStart);
    EXPECT_TRUE(editor.click(race, at(2100, 8200), true, {}).changed);
    EXPECT_EQ(editor.tool(), EditTool::LineEnd);
    EXPECT_TRUE(editor.click(race, at(2100, 8201), true, {}).changed);
    EXPECT_EQ(editor.tool(), EditTool::LineStart);
    EXPECT_TRUE(editor.click(race, at(2105, 8200), true, {}).changed);
    EXPECT_EQ(race.lineCount, 2);
    EXPECT_EQ(race.lines[1].end2.lon, 8201);
    EXPECT_EQ(race.lines[2].end2.lat, 0);

    editor.setTool(EditTool::Course);
    EXPECT_TRUE(editor.click(race, {}, true, {0, 2, "L2", true}).changed);
    EXPECT_TRUE(editor.click(race, {}, true, {1, 0, "MK1", true}).changed);
    const EditOutcome nothingNear = editor.click(race, {}, true, {});
    EXPECT_FALSE(nothingNear.changed);
    EXPECT_TRUE(nothingNear.refusal.isEmpty());
    EXPECT_EQ(race.course, (QStringList{"MK1", "MK3", "L2", "MK1"}));
    editor.resetCourse(race);
    EXPECT_TRUE(race.course.isEmpty());

    // Full tables refuse, saying why.
    editor.setTool(EditTool::Marks);
    while (race.markCount < kMaxMarks)
        editor.click(race, at(2100, 8200), true, {});
    const EditOutcome full = editor.click(race, at(2100, 8200), true, {});
    EXPECT_FALSE(full.changed);
    EXPECT_EQ(full.refusal, "The race has 20 marks, the most a race file holds; a new mark is not added.");
}

// A course as long as a race file holds takes no further item: one more
// would push the finish off the course line when the race is read again.
TEST(CourseEditor, ACourseOfTwentyItemsTakesNoMore)
{
    RaceState race;
    race.markCount = 2;
    race.lineCount = 1;
    CourseEditor editor;
    editor.setTool(EditTool::Course);
    for (int i = 1; i < kMaxCourseItems; ++i)
        ASSERT_TRUE(editor.click(race, {}, true, {i % 2 + 1, 0, {}, true}).changed);
    EXPECT_TRUE(editor.click(race, {}, true, {0, 1, "L1", true}).changed);  // the finish, the twentieth
    const EditOutcome refused = editor.click(race, {}, true, {1, 0, "MK1", true});
    EXPECT_FALSE(refused.changed);
    EXPECT_EQ(refused.refusal, "The course has 20 items, the most a race file holds; MK1 is not added.");
    EXPECT_EQ(race.course.size(), kMaxCourseItems);
    EXPECT_EQ(race.course.last(), "L1");
}

TEST(CourseEditor, WindDirection)
{
    RaceState race;
    race.magneticVariation = -7.4;
    CourseEditor editor;
    editor.setWindDirection(race, 400);
    EXPECT_EQ(race.windDirectionValue, 40);
    EXPECT_EQ(race.windDirection, 33);
    editor.setWindDirection(race, -10);
    EXPECT_EQ(race.windDirectionValue, 350);
    editor.setWindDirection(race, 3);
    EXPECT_EQ(race.windDirection, 356);  // -4 brought round
    EXPECT_TRUE(editor.edits().windDirection);
}

// The fleet's loggers: the median timer zero, to the second, and the median
// pinged ends, one boat's stray ping outvoted; taken, the gun moves and the
// course gets a start line at its head, or its own start line moves.
TEST(CourseEditor, TheStartTheLoggersRecorded)
{
    RaceState race;
    race.boatCount = 4;
    race.startTime = makeDateTime(2025, 6, 14, 15, 10, 0);
    const double guns[] = {2.2, 2.6, 40, 0};
    for (int b = 1; b <= 3; ++b) {
        race.boats[b].loggedStart.timerGun = guns[b - 1];
        race.boats[b].loggedStart.pinEnd = GeoPoint{2000.0 + (b == 3 ? 5 : 0), 8000};
        race.boats[b].loggedStart.boatEnd = GeoPoint{2000, 8000.5};
    }
    const FleetLoggedStart logged = fleetLoggedStart(race);
    EXPECT_EQ(logged.timers, 3);
    EXPECT_EQ(logged.pings, 3);
    EXPECT_EQ(logged.gun, 3);  // the median 2.6, to the second
    EXPECT_EQ(logged.pinEnd->lat, 2000);
    EXPECT_TRUE(loggedStartSummary(race, logged).endsWith("(+3 s, 3 boats); line pinged by 3 boats"));
    EXPECT_EQ(loggedStartSummary(race, fleetLoggedStart(RaceState{})), "No logger recorded the start");

    race.course = {QStringLiteral("MK1")};
    CourseEditor editor;
    EXPECT_TRUE(editor.takeLoggedStart(race, logged).changed);
    EXPECT_EQ(race.course, QStringList({"L1", "MK1"}));
    EXPECT_EQ(race.lines[1].end2.lon, 8000.5);
    EXPECT_EQ(race.startTime, makeDateTime(2025, 6, 14, 15, 10, 3));
    EXPECT_TRUE(editor.edits().startTime && editor.edits().lines && editor.edits().course);

    FleetLoggedStart again = logged;
    again.gun = 0;
    again.pinEnd = GeoPoint{2001, 8000};
    CourseEditor second;
    EXPECT_TRUE(second.takeLoggedStart(race, again).changed);
    EXPECT_EQ(race.lineCount, 1);  // the course's own start line moved
    EXPECT_EQ(race.lines[1].end1.lat, 2001);
    EXPECT_FALSE(second.edits().startTime || second.edits().course);
}

TEST(CourseEditor, NearestMarkOrLineEnd)
{
    RaceState race;
    race.markCount = 2;
    race.marks[1] = {0, 0};
    race.marks[2] = {0, 5};
    race.lineCount = 1;
    race.lines[1] = {{0, -3}, {0, 0}};  // end 2 not set: passed over
    MapView view;
    view.latScale = view.lonScale = 10;
    view.mapSize = {400, 400};
    const QPointF centre(200, 200);
    NearestCoursePoint n = nearestCoursePoint(race, view, centre + QPointF(45, 0));
    EXPECT_EQ(n.mark, 2);
    EXPECT_EQ(n.label, "MK2");
    EXPECT_TRUE(n.labelShown);
    n = nearestCoursePoint(race, view, centre + QPointF(-25, 0));  // line 1's end at -30
    EXPECT_EQ(n.line, 1);
    EXPECT_EQ(n.mark, 0);
    n = nearestCoursePoint(race, view, centre + QPointF(0, 50));
    EXPECT_EQ(n.mark, 1);  // 50 pixels: still the one a right click removes
    EXPECT_FALSE(n.labelShown);
    EXPECT_EQ(nearestCoursePoint(race, view, centre + QPointF(0, 150)).mark, 0);
    EXPECT_EQ(markListText(race), "MK1  MK2  ");
    EXPECT_EQ(lineListText(race), "line1  ");
}

TEST(WindEditing, ClicksOnTheDirectionGraph)
{
    RaceState race;
    race.windowStart = -300;
    race.windowLength = 3900;
    race.windDirection = 0;
    // A page 800 wide in a window 677 high: the graph is 355 wide and 600 high from (40, 40).
    const auto bottom = windRecordAt(race, {40, 640}, 800, 677);
    ASSERT_TRUE(bottom);
    EXPECT_EQ(bottom->time, -300);
    EXPECT_EQ(bottom->twd, 270);  // the left edge: 90 degrees left of the wind
    const auto quarter = windRecordAt(race, {129, 340}, 800, 677);
    EXPECT_EQ(quarter->time, 1650);
    EXPECT_EQ(quarter->twd, 0);  // the wind a quarter of the way across
    EXPECT_FALSE(windRecordAt(race, {39, 340}, 800, 677));
    EXPECT_FALSE(windRecordAt(race, {396, 340}, 800, 677));

    const WindMarkers m = windMarkers({200, 300}, 800);
    EXPECT_EQ(m.closeHauledLeft, 156);
    EXPECT_EQ(m.downwind, 378);
    EXPECT_EQ(m.top, 290);
}

TEST(MapPointer, ZonesCaptionAndRange)
{
    const QSize map(800, 600);
    EXPECT_EQ(pointerZones({199, 300}, map, true, false).labelLevel, 3);
    EXPECT_EQ(pointerZones({200, 300}, map, true, false).labelLevel, 2);
    EXPECT_EQ(pointerZones({600, 300}, map, true, false).labelLevel, 0);
    EXPECT_EQ(pointerZones({600, 300}, map, true, true).labelLevel, 1);
    EXPECT_TRUE(pointerZones({50, 50}, map, false, false).windArrowsShown);
    EXPECT_TRUE(pointerZones({599, 10}, map, false, false).showHidden);
    EXPECT_FALSE(pointerZones({600, 10}, map, false, false).showHidden);
    EXPECT_TRUE(pointerZones({700, 550}, map, true, false).fastWakes);
    EXPECT_FALSE(pointerZones({700, 550}, map, false, false).fastWakes);
    EXPECT_TRUE(pointerZones({700, 100}, map, true, false).blinkNames);
    EXPECT_FALSE(pointerZones({100, 100}, map, true, false).blinkNames);  // labels show there
    EXPECT_EQ(pointerZones({55, 60}, map, true, false).labelLevel, 0);  // the compass's middle
    EXPECT_EQ(pointerZones({100, 110}, map, true, false).labelLevel, 1);  // near its rim
    EXPECT_TRUE(pointerZones({100, 110}, map, true, false).windArrowsShown);
    EXPECT_EQ(pageButtonTip(Page::Graph, Language::EnglishByLocale).text, "Show BCO and BSP Graph");

    EXPECT_EQ(latitudeText(34 * 60 + 27.125), "N34:27.125");
    EXPECT_EQ(longitudeText(-(1 * 60 + 18.5)), "W1:18.5");
    EXPECT_EQ(latitudeText(-(5 * 60 + 3)), "S5:03");

    RaceState race;
    race.extent.cosLat = 0.8;
    EXPECT_EQ(rangeBearingText({2000, 8000}, {2001, 8000}, race), "RNG= 1852m / BRG= 0deg(M)");
    race.magneticVariation = 7;
    EXPECT_EQ(rangeBearingText({2000, 8000}, {2001, 8000}, race), "RNG= 1852m / BRG= 353deg(M)");

    EXPECT_EQ(mapMouseTip(EditTool::Marks, Language::Japanese).text, "Shift + Click(L) at Mark Point");
    EXPECT_EQ(mapMouseTip(EditTool::None, Language::EnglishChosen).size, QSize(290, 100));
}

}  // namespace
}  // namespace keelrun
