#include <gtest/gtest.h>

#include <QLocale>

#include "base/load_error.h"
#include "io/race_file.h"
#include "base/text_file.h"
#include "test_folder.h"

namespace keelrun {
namespace {

class RaceFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        for (const char *name : {"a.gpx", "b.log", "c.trb", "d.gpx"})
            t.write(QStringLiteral("gpsdat/") + name, "x");
    }

    // Reads `text` as raceadmin/race01.txt.
    RaceState read(const QByteArray &text)
    {
        RaceState state;
        state.raceFilePath = t.write("raceadmin/race01.txt", text);
        readRaceFile(state, t.folder());
        return state;
    }

    QString errorOf(const QByteArray &text)
    {
        try {
            read(text);
        } catch (const LoadError &e) {
            return e.message();
        }
        return {};
    }

    test::TestFolder t;
};

const QByteArray kFullRace =
    "NOTE,Light air in the morning\r\n"
    "T1,Autumn Cup Race 3\r\n"
    "T2,Sagami Bay\r\n"
    "ST,2009/05/03 11:00:00\r\n"
    "FT,2009/05/03 12:30:00\r\n"
    "TD,9\r\n"
    "CT,1\r\n"
    "CLSSEP\r\n"
    "CLSN,J24\r\n"
    "BN,a.gpx,Sea Dragon,1.02,-3,hide\r\n"
    "CLSN,Yamaha 30\r\n"
    "BN,b.log,Blue Wind\r\n"
    "BN,c.trb,Kaze,0.95,12\r\n"
    "MK,2092.5,8361.25\r\n"
    "MK,2094,8360\r\n"
    "LN,2090,8360,2090.1,8360.2\r\n"
    "RL,2091,8361,2091.5,8361.5\r\n"
    "CRS,L1,MK1,MK2,MK1,L1\r\n"
    "LL,42,45\r\n"
    "MG,-7.4\r\n"
    "WD,200\r\n"
    "WF,race01_wind.csv\r\n"
    "LG,8.5\r\n"
    "BT,5\r\n"
    "NU,1\r\n"
    "PS,50\r\n"
    "FLG,P\r\n"
    "MAP,tile1,tile2\r\n";

TEST_F(RaceFileTest, ReadsEveryTag)
{
    const RaceState s = read(kFullRace);
    EXPECT_EQ(s.note, "Light air in the morning");
    EXPECT_EQ(s.title, "Autumn Cup Race 3");
    EXPECT_EQ(s.subtitle, "Sagami Bay");
    EXPECT_EQ(s.startTime, makeDateTime(2009, 5, 3, 11, 0, 0));
    EXPECT_EQ(s.finishTime, makeDateTime(2009, 5, 3, 12, 30, 0));
    EXPECT_EQ(s.timeDifference, 9);
    EXPECT_EQ(isoText(s.startTimeUtc), "2009-05-03T02:00:00");
    EXPECT_EQ(isoText(s.finishTimeUtc), "2009-05-03T03:30:00");
    EXPECT_EQ(s.raceDate, makeDateTime(2009, 5, 3));
    EXPECT_EQ(s.raceDuration, 5400);
    EXPECT_EQ(s.ctMode, 1);
    EXPECT_TRUE(s.classesEnabled);
    ASSERT_EQ(s.classCount, 2);
    EXPECT_EQ(s.classes[1].name, "J24");
    EXPECT_EQ(s.classes[2].name, "Yamaha 30");
    ASSERT_EQ(s.markCount, 2);
    EXPECT_DOUBLE_EQ(s.marks[1].lat, 2092.5);
    EXPECT_DOUBLE_EQ(s.marks[1].lon, 8361.25);
    ASSERT_EQ(s.lineCount, 1);
    EXPECT_DOUBLE_EQ(s.lines[1].end2.lon, 8360.2);
    ASSERT_EQ(s.refLineCount, 1);
    EXPECT_DOUBLE_EQ(s.refLines[1].end1.lat, 2091);
    EXPECT_EQ(s.course, (QStringList{"L1", "MK1", "MK2", "MK1", "L1"}));
    EXPECT_EQ(s.courseLength(), 5);
    EXPECT_EQ(s.laylineAngles, (std::array<int, 2>{42, 45}));
    EXPECT_DOUBLE_EQ(s.magneticVariation, -7.4);
    EXPECT_EQ(s.windDirectionValue, 200);
    EXPECT_EQ(s.windDirection, 193);
    EXPECT_EQ(s.windFile, "race01_wind.csv");
    EXPECT_DOUBLE_EQ(s.boatLength, 8.5);
    EXPECT_EQ(s.preStartSeconds, 300);
    EXPECT_EQ(s.windowStart, -310);
    EXPECT_EQ(s.windowEnd, 5430);
    EXPECT_EQ(s.windowLength, 5740);
    EXPECT_EQ(s.northUp, 1);
    EXPECT_DOUBLE_EQ(s.initialPlaySpeed, 50);
    EXPECT_EQ(s.flagText, "P");
    EXPECT_EQ(s.mapParams, (QStringList{"tile1", "tile2"}));
    EXPECT_TRUE(s.warnings.isEmpty()) << s.warnings.join('\n').toStdString();
}

TEST_F(RaceFileTest, BoatLinesFollowTheBoatRule)
{
    const RaceState s = read(kFullRace);
    ASSERT_EQ(s.boatCount, 3);
    const BoatEntry &a = s.boats[1];
    EXPECT_EQ(a.trackFile, "a.gpx");
    EXPECT_EQ(a.name, "Sea Dragon");
    EXPECT_EQ(a.classIndex, 1);
    EXPECT_DOUBLE_EQ(a.handicap, 1.02);
    EXPECT_EQ(a.clockOffset, -3);
    EXPECT_EQ(a.shown, 0);
    const BoatEntry &b = s.boats[2];
    EXPECT_EQ(b.classIndex, 2);
    EXPECT_EQ(b.handicap, 0);
    EXPECT_EQ(b.clockOffset, 0);
    EXPECT_EQ(b.shown, 1);
    EXPECT_EQ(s.boats[3].clockOffset, 12);
    EXPECT_TRUE(s.handicapsPresent);
}

TEST_F(RaceFileTest, BoatWithMissingTrackIsLeftOutWithAWarning)
{
    const RaceState s = read("BN,a.gpx,One\r\nBN,nothere.gpx,Two\r\nBN,D.GPX,Three\r\n");
    ASSERT_EQ(s.boatCount, 2);
    EXPECT_EQ(s.boats[2].name, "Three");
    EXPECT_EQ(s.boats[2].trackFile, "D.GPX");
    ASSERT_EQ(s.warnings.size(), 3);  // the missing track, no ST, no FT
    EXPECT_TRUE(s.warnings[0].startsWith("race01.txt:2: track file \"nothere.gpx\"")) << s.warnings[0].toStdString();
    EXPECT_FALSE(s.handicapsPresent);
}

TEST_F(RaceFileTest, TagsAreCaseAndBlankInsensitive)
{
    const RaceState s = read("  mk , 2092.5 , 8361\r\n\tWd,200\r\ncrs\r\nunknown,1,2\r\n\r\n");
    EXPECT_EQ(s.markCount, 1);
    EXPECT_EQ(s.windDirectionValue, 200);
    EXPECT_EQ(s.courseLength(), 0);
}

TEST_F(RaceFileTest, EmptyFieldReadsZero)
{
    const RaceState s = read("MK,,8361\r\nBN,a.gpx,One,,\r\n");
    EXPECT_EQ(s.marks[1].lat, 0);
    EXPECT_EQ(s.boats[1].handicap, 0);
    EXPECT_EQ(s.boats[1].clockOffset, 0);
}

TEST_F(RaceFileTest, RepeatedTagsOverwriteOrAppend)
{
    const RaceState s = read("WD,100\r\nWD,200\r\nCRS,L1,MK1\r\nCRS,L1,MK2,L2\r\nMK,1,1\r\nMK,2,2\r\nCLSN,ignored\r\n");
    EXPECT_EQ(s.windDirectionValue, 200);
    EXPECT_EQ(s.course, (QStringList{"L1", "MK2", "L2"}));
    EXPECT_EQ(s.markCount, 2);
    EXPECT_EQ(s.classCount, 0);  // no CLSSEP
}

TEST_F(RaceFileTest, PreStartDefaultsTo180)
{
    EXPECT_EQ(read("ST,2009/05/03 11:00:00\r\n").preStartSeconds, 180);
    const RaceState zero = read("BT,0\r\n");
    EXPECT_EQ(zero.preStartSeconds, 180);
    EXPECT_EQ(zero.windowStart, -190);
}

TEST_F(RaceFileTest, FinishBeforeStartGivesANegativeDuration)
{
    const RaceState s = read("ST,2009/05/03 11:00:00\r\nFT,2009/05/03 10:59:00\r\n");
    EXPECT_EQ(s.raceDuration, -60);
    EXPECT_EQ(s.windowEnd, -30);
    EXPECT_LT(s.windowEnd, 30);
}

TEST_F(RaceFileTest, TitlesWithoutT1AndT2NameTheFileAndDate)
{
    const RaceState none = read("ST,2009/05/03 11:00:00\r\n");
    EXPECT_EQ(none.title, "Keelrun  race01.txt");
    EXPECT_EQ(none.subtitle, "5/3/09");

    const RaceState onlyT2 = read("ST,2009/05/03 11:00:00\r\nT2,Second line\r\n");
    EXPECT_EQ(onlyT2.title, "Keelrun  ");
    EXPECT_EQ(onlyT2.subtitle, "Second line");

    const RaceState shortT1 = read("ST,2009/05/03 11:00:00\r\nT1,X\r\n");
    EXPECT_EQ(shortT1.title, "Keelrun  race01.txt");
}

TEST_F(RaceFileTest, CoverPictureEmptiesTheDefaultTitles)
{
    RaceState s;
    s.coverPresent = true;
    s.raceFilePath = t.write("raceadmin/race01.txt", "T2,Only the subtitle\r\n");
    readRaceFile(s, t.folder());
    EXPECT_EQ(s.title, "");
    EXPECT_EQ(s.subtitle, "Only the subtitle");
}

TEST_F(RaceFileTest, CapacitiesAreEnforcedWithOneWarningEach)
{
    QByteArray text;
    for (int i = 0; i < 25; ++i)
        text += "MK,1,1\r\n";
    for (int i = 0; i < 12; ++i)
        text += "LN,1,1,2,2\r\nRL,1,1,2,2\r\n";
    text += "CLSSEP\r\n";
    for (int i = 0; i < 12; ++i)
        text += "CLSN,C\r\n";
    for (int i = 0; i < 85; ++i)
        text += "BN,a.gpx,Boat\r\n";
    text += "MAP,1,2,3,4,5,6,7,8,9,10,11,12\r\n";
    text += "NOTE,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22\r\n";
    const RaceState s = read(text);
    EXPECT_EQ(s.markCount, kMaxMarks);
    EXPECT_EQ(s.lineCount, kMaxLines);
    EXPECT_EQ(s.refLineCount, kMaxRefLines);
    EXPECT_EQ(s.classCount, kMaxClasses);
    EXPECT_EQ(s.boatCount, kMaxBoats);
    EXPECT_EQ(s.mapParams.size(), kMaxMapParams);

    const QString all = s.warnings.join('\n');
    EXPECT_TRUE(all.contains("race01.txt:21: more than 20 marks; this mark is ignored")) << all.toStdString();
    EXPECT_TRUE(all.contains("more than 10 lines"));
    EXPECT_TRUE(all.contains("more than 10 reference lines"));
    EXPECT_TRUE(all.contains("more than 10 classes"));
    EXPECT_TRUE(all.contains("more than 81 boats; this boat is ignored"));
    EXPECT_TRUE(all.contains("more than 10 map parameters"));
    EXPECT_TRUE(all.contains("more than 21 fields"));
    EXPECT_EQ(s.warnings.filter("marks").size(), 1);
    EXPECT_EQ(s.warnings.filter("boats").size(), 1);
}

// Twenty course items, as the course editor writes at most, read back whole;
// a longer course keeps its first twenty and says that the finish is lost.
TEST_F(RaceFileTest, ACourseOfTwentyItemsKeepsItsFinish)
{
    QByteArray line = "CRS,L1";
    for (int i = 2; i < kMaxCourseItems; ++i)
        line += ",MK" + QByteArray::number(i);
    RaceState s = read("T1,Cup\r\n" + line + ",L2\r\n");
    ASSERT_EQ(s.course.size(), kMaxCourseItems);
    EXPECT_EQ(s.course.last(), "L2");
    EXPECT_EQ(s.courseLength(), kMaxTimedItems);  // the first 12 are timed
    EXPECT_TRUE(s.warnings.filter("course").isEmpty()) << s.warnings.join('\n').toStdString();

    s = read("T1,Cup\r\n" + line + ",MK20,L2\r\n");
    EXPECT_EQ(s.course.size(), kMaxCourseItems);
    EXPECT_EQ(s.course.last(), "MK20");
    EXPECT_EQ(s.warnings.filter("course"), QStringList{"race01.txt:2: the course has more than 20 items; only the first 20 are kept, and the finish is lost"});
}

TEST_F(RaceFileTest, ConversionErrorsNameFileLineTagFieldAndText)
{
    EXPECT_EQ(errorOf("NOTE,x\r\nST,2009/05/03 11:00:00\r\nFT,2009/13/03 12:00:00\r\n"),
              "race01.txt:3: FT field 1: \"2009/13/03 12:00:00\" is not a date and time (yyyy/mm/dd hh:mm:ss)");
    EXPECT_EQ(errorOf("MK,34.5,abc\r\n"), "race01.txt:1: MK field 2: \"abc\" is not a number");
    EXPECT_EQ(errorOf("TD,9.5\r\n"), "race01.txt:1: TD field 1: \"9.5\" is not a whole number");
    EXPECT_EQ(errorOf("BN,a.gpx,One,1.0,3s\r\n"), "race01.txt:1: BN field 4: \"3s\" is not a whole number");
    EXPECT_EQ(errorOf("LL,40\r\n"), "race01.txt:1: LL field 2 is missing");
    EXPECT_EQ(errorOf("PS\r\n"), "race01.txt:1: PS field 1 is missing");
}

// One odd value is brought into its range with a warning naming the file,
// the line and the value; the race loads on.
TEST_F(RaceFileTest, NumbersOutsideTheirRangeAreClampedWithAWarning)
{
    const RaceState s = read("MG,1e10\r\nMK,5401,0\r\nBN,a.gpx,One,12,2147483647\r\nPS,2000\r\nBT,-3\r\nPS,0\r\n");
    EXPECT_EQ(s.magneticVariation, 720);
    EXPECT_EQ(s.marks[1].lat, 5400);
    EXPECT_EQ(s.boats[1].handicap, 10);
    EXPECT_EQ(s.boats[1].clockOffset, 604800);
    EXPECT_EQ(s.preStartSeconds, 180);  // BT 0: the default three minutes
    EXPECT_EQ(s.initialPlaySpeed, 1);   // the last PS line, 0 brought up to 1
    const QString all = s.warnings.join('\n');
    EXPECT_TRUE(all.contains("race01.txt:1: MG field 1: 1e10 is outside -360 to 720; 720 is used")) << all.toStdString();
    EXPECT_TRUE(all.contains("race01.txt:2: MK field 1: 5401 is outside -5400 to 5400; 5400 is used"));
    EXPECT_TRUE(all.contains("race01.txt:3: BN field 3: 12 is outside 0 to 10; 10 is used"));
    EXPECT_TRUE(all.contains("race01.txt:3: BN field 4: 2147483647 is outside -604800 to 604800; 604800 is used"));
    EXPECT_TRUE(all.contains("race01.txt:4: PS field 1: 2000 is outside 1 to 1500; 1500 is used"));
    EXPECT_TRUE(all.contains("race01.txt:5: BT field 1: -3 is outside 0 to 1440; 0 is used"));
}

TEST_F(RaceFileTest, ShiftJisNamesAreDecoded)
{
    const QString text = QStringLiteral("T1,葉山秋季レース\r\nBN,a.gpx,海風\r\nCLSSEP\r\nCLSN,ヤマハ30\r\n");
    const RaceState s = read(encodeText(text, {TextEncoding::ShiftJis, false, true}));
    EXPECT_EQ(s.raceFileEncoding.kind, TextEncoding::ShiftJis);
    EXPECT_EQ(s.title, QStringLiteral("葉山秋季レース"));
    EXPECT_EQ(s.boats[1].name, QStringLiteral("海風"));
    EXPECT_EQ(s.classes[1].name, QStringLiteral("ヤマハ30"));
}

TEST_F(RaceFileTest, MissingFileReadsNothing)
{
    RaceState s;
    s.raceFilePath = t.path("raceadmin/none.txt");
    readRaceFile(s, t.folder());
    EXPECT_EQ(s.boatCount, 0);
}

TEST_F(RaceFileTest, AttachmentsMustExist)
{
    t.write("attachment/results.pdf", "x");
    const RaceState s = read("AT,results.pdf\r\nAT,missing.pdf\r\n");
    EXPECT_EQ(s.attachments, QStringList{"results.pdf"});
}

}  // namespace
}  // namespace keelrun
