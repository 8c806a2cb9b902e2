#include <gtest/gtest.h>

#include <QStringList>

#include "export/performance_table.h"
#include "race/legs.h"

namespace keelrun {
namespace {

TEST(PerformanceTable, CellFormats)
{
    EXPECT_EQ(fourDecimalCell(12.3), "12.3000");  // padded
    EXPECT_EQ(fourDecimalCell(1.0 / 3), "0.3333");  // cut, not rounded
    EXPECT_EQ(fourDecimalCell(2.0 / 3), "0.6666");
    EXPECT_EQ(fourDecimalCell(2), "2");  // no decimal point, left alone
    EXPECT_EQ(signedFourDecimalCell(0.25), "+0.2500");
    EXPECT_EQ(signedFourDecimalCell(0), "0");
    EXPECT_EQ(signedFourDecimalCell(-0.25), "-0.2500");
    EXPECT_EQ(wholeCell(2.5), "2");  // ties to even
    EXPECT_EQ(signedWholeCell(0), "0");
    EXPECT_EQ(signedWholeCell(12), "+12");
    EXPECT_EQ(signedWholeCell(-12.4), "-12");
    EXPECT_EQ(fiveCharacterCell(1.0 / 3), "0.333");
    EXPECT_EQ(fiveCharacterCell(12), "12");
    EXPECT_EQ(degreesCell(123.9), "123");
    EXPECT_EQ(degreesCell(7), "7");
    EXPECT_EQ(plainCell(1.05), "1.05");
    EXPECT_EQ(fourDecimalCell(1.2345e-05), "0.0000");  // never an exponent
    EXPECT_EQ(signedFourDecimalCell(-4e-05), "-0.0000");
    EXPECT_EQ(fiveCharacterCell(4e-05), "0.000");
}

// A start line L1 across the wind at the equator and MK1 one mile upwind:
// up to the mark and back down to the line. Four boats: One wins, Two
// misses the mark, Three does not finish, Four started with the gun.
class TableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        race.title = QStringLiteral("Spring Cup");
        race.startTime = makeDateTime(2024, 5, 12, 11, 0, 0);
        race.extent.cosLat = 1;
        race.lineCount = 1;
        race.lines[1] = {{0, -0.1}, {0, 0.1}};
        race.markCount = 1;
        race.marks[1] = {1, 0};
        race.course = {"L1", "MK1", "L1"};
        const char *names[] = {"One", "Two", "Three", "Four"};
        for (int b = 1; b <= 4; ++b)
            race.boats[b].name = QString::fromLatin1(names[b - 1]);
        race.boatCount = 4;
        setTimes(1, {5, 600, 1000}, {1900, 1950, 3850});
        setTimes(2, {6, kNotReached, 1100}, {});
        setTimes(3, {7, 700, kNotReached}, {});
        setTimes(4, {0, 650, 1050}, {1880, 1990, 3870});
        buildLegTables(race);
    }
    void setTimes(int b, std::array<double, 3> times, std::array<double, 3> distances)
    {
        for (int k = 0; k < 3; ++k) {
            race.boats[b].roundingTime[k + 1] = times[k];
            race.boats[b].legDistance[k + 1] = distances[k];
        }
    }
    QStringList rows() const { return performanceTable(race).split(QStringLiteral("\r\n")); }
    // The row after the one that reads `heading`, `offset` rows on.
    QString rowAfter(const QString &heading, int offset = 1) const
    {
        const QStringList all = rows();
        const qsizetype at = all.indexOf(heading);
        return at < 0 ? QStringLiteral("(no row %1)").arg(heading) : all.value(at + offset);
    }
    RaceState race;
};

TEST_F(TableTest, HeaderAndLegTimes)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const QStringList all = rows();
    EXPECT_EQ(all[0], "Spring Cup");
    EXPECT_EQ(all[1], "Start Time,12/05/2024 11:00:00");
    EXPECT_EQ(all[2], "Mean Wind Dir,0 deg");
    EXPECT_EQ(all[3], " ");
    EXPECT_EQ(rowAfter("Time by each leg (Sec)"), ",(UP),(DN)");
    EXPECT_EQ(rowAfter("Time by each leg (Sec)", 2), "Boat Name,ST->MK1,MK1->L1,Total(A),,Sail Dist(B),BSP(C=B/A),,Start Time,Notes");
    EXPECT_EQ(rowAfter("Time by each leg (Sec)", 3), "One,600,400,1000,,2.0788,7.4838, ,5");
    EXPECT_EQ(rowAfter("Time by each leg (Sec)", 4), "Two,-,-,1100,,-,-, ,6");
    EXPECT_EQ(rowAfter("Time by each leg (Sec)", 5), "Three,700,-,-,,-,-, ,7");
    EXPECT_EQ(rowAfter("Time by each leg (Sec)", 6), "Four,650,400,1050,,2.0896,7.1644, ,0");  // started with the gun
    EXPECT_TRUE(performanceTable(race).endsWith("\r\n"));
    QLocale::setDefault(QLocale::c());
}

TEST_F(TableTest, PositionsCourseAndSummary)
{
    EXPECT_EQ(rowAfter("Position by each Mark/Line"), "Boat Name,START,MK1,FINISH");
    EXPECT_EQ(rowAfter("Position by each Mark/Line", 2), "One,2,1,1");
    EXPECT_EQ(rowAfter("Position by each Mark/Line", 3), "Two,3,-,3");
    EXPECT_EQ(rowAfter("Position by each Mark/Line", 4), "Three,4,3,-");
    // The first leg runs from the line's first end, a tenth of a minute west.
    EXPECT_EQ(rowAfter("Course Length by each leg (N Miles)", 3), "Length,1.0049,1,2.0049,,1.00498756211209,1");
    EXPECT_EQ(rowAfter("Course Length by each leg (N Miles)", 4), "BRG(deg/Mag),5,180,-");
    const QString summary = QStringLiteral("BOAT NAME,TIME,DIST,BSP,VMC,,TIME,DIST,BSP,VMC");
    EXPECT_EQ(rowAfter(summary), "One,600,1.025,6.155,6.029,,400,1.052,9.476,9");
    EXPECT_EQ(rowAfter(summary, 2), "Two,-,-,-,-,,-,-,-,-");  // no leg sailed end to end
    // Retired after the beat: its time and VMC up, no distance (it did not
    // finish), nothing down.
    EXPECT_EQ(rowAfter(summary, 3), "Three,700,-,-,5.168,,-,-,-,-");
}

// A time of an item never passed is no time: nothing is worked out from it.
TEST_F(TableTest, NothingComesOfAnItemNotPassed)
{
    setTimes(3, {kNotReached, 700, kNotReached}, {});  // no start crossing found
    EXPECT_EQ(rowAfter("Time by each leg (Sec)", 5), "Three,700,-,-,,-,-, ,-,did not start");

    race.boats[4].overEarly = true;
    race.boats[4].roundingTime[1] = 45;
    race.boats[4].missedItem = 2;
    EXPECT_EQ(rowAfter("Time by each leg (Sec)", 6), "Four,650,400,1050,,2.0896,7.1644, ,45,\"over early, started at 45 s; missed MK1, not a finisher\"");
    race.boats[4].missedItem = 0;

    // The fastest finisher missed the mark: no leg of it to compare with.
    setTimes(2, {6, kNotReached, 900}, {0, 0, 3700});
    EXPECT_EQ(rowAfter("Difference of Time by each leg (SEC: difference from Best Boat)", 3), "One,-,-,+100");
    EXPECT_EQ(rowAfter("Difference of Sailed Distance by each leg (Meters)", 3), "One,-,-,+150");
    EXPECT_EQ(rowAfter("Difference of Boat speed by each leg (KTS)", 3), "One,-,-,-0.5075");
}

TEST_F(TableTest, DifferencesFromTheBestBoat)
{
    const QString times = QStringLiteral("Difference of Time by each leg (SEC: difference from Best Boat)");
    EXPECT_EQ(rowAfter(times, 3), "One,0,0,0");
    EXPECT_EQ(rowAfter(times, 4), "Two,-,-,+100");
    EXPECT_EQ(rowAfter(times, 5), "Three,100,-,-");
    EXPECT_EQ(rowAfter(times, 6), "Four,50,0,+50");
    const QString metres = QStringLiteral("Difference of Sailed Distance by each leg (Meters)");
    EXPECT_EQ(rowAfter(metres, 3), "One,0,0,0");
    EXPECT_EQ(rowAfter(metres, 6), "Four,-20,+40,+20");
    const QString speeds = QStringLiteral("Difference of Boat speed by each leg (KTS)");
    EXPECT_EQ(rowAfter(speeds, 3), "One,0,0,0");
}

TEST_F(TableTest, CorrectedTimeAddsTheNoteAndTheHandicaps)
{
    race.ctMode = 1;
    race.boats[1].handicap = 1.05;
    const QStringList all = rows();
    EXPECT_EQ(all[0], "\"NOTE: All data related \"\"time\"\" including BSP are corrected by TCC/TMF\"");
    EXPECT_EQ(rowAfter("Time by each leg (Sec)"), ",,(UP),(DN)");
    EXPECT_TRUE(rowAfter("Time by each leg (Sec)", 2).startsWith("Boat Name,TCC/TMF,ST->MK1"));
    EXPECT_TRUE(rowAfter("Time by each leg (Sec)", 3).startsWith("One,1.05,600,"));
}

// A title, a name or a course item with a quote, a comma or a line end stays
// one cell: quoted, its quotes doubled. Other cells are written as they are.
TEST_F(TableTest, TextsThatWouldSplitACellAreQuoted)
{
    race.title = QStringLiteral("Spring Cup, race 3\nBay");
    race.boats[1].name = QStringLiteral("Sea \"Dragon\"");
    race.course = {"L1", "MK\"1", "L1"};
    const QString table = performanceTable(race);
    EXPECT_TRUE(table.startsWith("\"Spring Cup, race 3\nBay\"\r\n")) << table.left(40).toStdString();
    EXPECT_EQ(rowAfter("Position by each Mark/Line"), "Boat Name,START,\"MK\"\"1\",FINISH");
    EXPECT_EQ(rowAfter("Boat speed by each leg (KTS)", 2), "Boat Name,\"ST->MK\"\"1\",\"MK\"\"1->L1\",Ave(C)");
    EXPECT_EQ(rowAfter("Position by each Mark/Line", 2), "\"Sea \"\"Dragon\"\"\",2,1,1");
    EXPECT_EQ(rowAfter("Position by each Mark/Line", 3), "Two,3,-,3");
}

TEST_F(TableTest, WithoutAFinisherEveryDifferenceIsADash)
{
    for (int b = 1; b <= 4; ++b)
        race.boats[b].roundingTime[3] = kNotReached;
    const QString times = QStringLiteral("Difference of Time by each leg (SEC: difference from Best Boat)");
    EXPECT_EQ(rowAfter(times, 3), "One,-,-,-");
    EXPECT_EQ(rowAfter(QStringLiteral("Difference of Boat speed by each leg (KTS)"), 3), "One,-,-,-");
}

}  // namespace
}  // namespace keelrun
