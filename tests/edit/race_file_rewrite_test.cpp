// Rewriting the race file with the organiser's edits: nothing else changes.

#include <gtest/gtest.h>

#include <QFile>

#include "edit/race_file_rewrite.h"
#include "io/race_file.h"
#include "test_folder.h"

namespace keelrun {
namespace {

const QByteArray kRace = "; the committee boat's notes\r\n"
                         "T1,Spring Cup\r\n"
                         "ST,2009/05/03 11:00:00\r\n"
                         "\r\n"
                         "BN,a.gpx,One\r\n"
                         "MK,2100.5,8200.25\r\n"
                         "MK,2101,8201\r\n"
                         "XYZ,an unknown tag\r\n"
                         "LN,2100,8200,2100.1,8200.1\r\n"
                         "WD, 40\r\n"
                         "CRS,L1,MK1,MK2,MK1,MK2,MK1,MK2,MK1,MK2,MK1,MK2,MK1,MK2,L1\r\n"
                         "PS,30";  // no line end on the last line

class RewriteTest : public ::testing::Test {
protected:
    RaceState read(const QByteArray &bytes)
    {
        RaceState race;
        race.raceFilePath = t.write("raceadmin/race.txt", bytes);
        readRaceFile(race, t.folder());
        return race;
    }
    test::TestFolder t;
};

TEST_F(RewriteTest, AnUneditedRaceGivesBackTheSameBytes)
{
    const RaceState race = read(kRace);
    ASSERT_EQ(race.markCount, 2);
    ASSERT_EQ(race.course.size(), 14);  // beyond the 12 timed items
    const RaceEdits everything{true, true, true, true, false, true};
    EXPECT_EQ(rewrittenRaceFile(kRace, race, everything), kRace);

    // Shift-JIS with LF ends, and UTF-8 with a byte-order mark.
    const QByteArray sjis = QByteArray("T1,\x93\xfa\x96\x7b\n") + "MK,2100,8200\n" + "CRS,MK1\n";
    EXPECT_EQ(rewrittenRaceFile(sjis, read(sjis), everything), sjis);
    const QByteArray bom = "\xEF\xBB\xBFT1,\xE6\x97\xA5\xE6\x9C\xAC\r\nMK,2100,8200\r\n";
    EXPECT_EQ(rewrittenRaceFile(bom, read(bom), everything), bom);
}

TEST_F(RewriteTest, EditedLinesChangeInPlaceAndNewOnesFollowTheirTag)
{
    RaceState race = read(kRace);
    race.marks[2] = {2102.125, 8202};   // moved
    race.marks[3] = {2103, 8203};       // added
    race.markCount = 3;
    race.lineCount = 0;                 // removed
    race.windDirectionValue = 350;
    race.course = {"L1", "MK3", "L1"};
    const QByteArray out = rewrittenRaceFile(kRace, race, {true, true, true, true, false});
    EXPECT_EQ(out, "; the committee boat's notes\r\n"
                   "T1,Spring Cup\r\n"
                   "ST,2009/05/03 11:00:00\r\n"
                   "\r\n"
                   "BN,a.gpx,One\r\n"
                   "MK,2100.5,8200.25\r\n"
                   "MK,2102.125,8202\r\n"
                   "MK,2103,8203\r\n"
                   "XYZ,an unknown tag\r\n"
                   "WD, 350\r\n"
                   "CRS,L1,MK3,L1\r\n"
                   "PS,30");

    // Parts not edited are left alone even when the race differs from the file.
    EXPECT_EQ(rewrittenRaceFile(kRace, race, {}), kRace);
}

TEST_F(RewriteTest, TagsTheFileLacksAreAppended)
{
    const QByteArray bare = "T1,Cup\nPS,30";
    RaceState race = read(bare);
    race.marks[1] = {2100, 8200};
    race.markCount = 1;
    race.course = {"MK1"};
    race.windDirectionValue = 5;
    race.windFile = "race_wind.csv";
    race.windSamples.push_back({0, 0, 10});
    EXPECT_EQ(rewrittenRaceFile(bare, race, {true, true, true, true, true}),
              "T1,Cup\nPS,30\nMK,2100,8200\nCRS,MK1\nWD, 5\nWF,race_wind.csv\n");
    race.course.clear();  // an empty course writes no CRS line
    const QByteArray withCourse = "CRS,MK1\r\nCRS,MK2\r\n";
    EXPECT_EQ(rewrittenRaceFile(withCourse, race, {false, false, true, false, false}), "");
}

// The longest course the editor makes is read back whole, finish and all.
TEST_F(RewriteTest, TheLongestCourseReadsBackWithItsFinish)
{
    RaceState race = read(kRace);
    race.course = {"L1"};
    while (race.course.size() < kMaxCourseItems - 1)
        race.course << QStringLiteral("MK%1").arg(race.course.size() % 2 + 1);
    race.course << QStringLiteral("L1");
    const QByteArray out = rewrittenRaceFile(kRace, race, {false, false, true, false, false});
    EXPECT_EQ(read(out).course, race.course);
    EXPECT_EQ(rewrittenRaceFile(out, read(out), {false, false, true, false, false}), out);  // and is kept as it is
}

TEST_F(RewriteTest, WritesWholeOrNotAtAll)
{
    RaceState race = read(kRace);
    race.windDirectionValue = 10;
    EXPECT_EQ(rewriteRaceFile(race, {false, false, false, true, false}), "");
    QFile file(race.raceFilePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("WD, 10\r\n"));
    file.close();

    race.raceFilePath = t.path("raceadmin");  // not a file: it says why
    EXPECT_FALSE(rewriteRaceFile(race, {true, true, true, true, true}).isEmpty());

    race.raceFilePath = t.path("raceadmin/gone.txt");  // a file that is not there: nothing happens
    EXPECT_EQ(rewriteRaceFile(race, {true, true, true, true, true}), "");
    EXPECT_FALSE(QFile::exists(race.raceFilePath));

    // A new file that cannot be made beside the old one (here its name, with
    // the temporary file's ending, is longer than a file name may be, which
    // stops root too): a message, and the old file whole.
    const QString longName = t.path("raceadmin/" + QString(250, QLatin1Char('r')) + ".txt");
    ASSERT_TRUE(QFile::copy(t.path("raceadmin/race.txt"), longName));
    race.raceFilePath = longName;
    race.windDirectionValue = 20;
    const QString why = rewriteRaceFile(race, {false, false, false, true, false});
    EXPECT_TRUE(why.startsWith(race.raceFilePath)) << why.toStdString();
    QFile longFile(longName);
    ASSERT_TRUE(longFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(longFile.readAll().contains("WD, 10\r\n"));
}

}  // namespace
}  // namespace keelrun
