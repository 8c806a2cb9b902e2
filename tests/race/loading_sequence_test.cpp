#include <gtest/gtest.h>

#include <QFile>

#include "race/loading_sequence.h"
#include "race/boat_colours.h"
#include "test_folder.h"

namespace keelrun {
namespace {

class LoadingTest : public ::testing::Test {
protected:
    // A track from the gun of a race starting 2009/05/03 11:00:00 (UTC).
    void writeTrack(const QString &name, int fixes = 20)
    {
        t.write("gpsdat/" + name, test::gpxTrack("2009-05-03T11:00:00", fixes));
    }

    LoadResult load(const QByteArray &text, const LoadOptions &options = {})
    {
        const QString path = t.write("raceadmin/race01.txt", text);
        return loadRace(state, t.folder(), path, {}, options);
    }
    test::TestFolder t;
    RaceState state;
};

TEST_F(LoadingTest, RaceWithoutBoatsStopsWithTheMessage)
{
    const LoadResult r = load("ST,2009/05/03 11:00:00\r\nBN,missing.gpx,One\r\n");
    EXPECT_EQ(r.outcome, LoadResult::NoBoats);
    EXPECT_EQ(r.message, "GPS file not exists.");
    EXPECT_EQ(state.boatCount, 0);
}

TEST_F(LoadingTest, ConversionErrorLeavesNoHalfReadRace)
{
    writeTrack("a.gpx");
    ASSERT_TRUE(load("BN,a.gpx,One\r\nST,2009/05/03 11:00:00\r\n").ok());
    const LoadResult r = load("BN,a.gpx,One\r\nST,someday\r\n");
    EXPECT_EQ(r.outcome, LoadResult::Failed);
    EXPECT_TRUE(r.message.startsWith("race01.txt:2: ST field 1: \"someday\""));
    EXPECT_EQ(state.boatCount, 0);
    EXPECT_TRUE(state.title.isEmpty());
}

TEST_F(LoadingTest, FileNameAndColoursAreSet)
{
    QByteArray text = "ST,2009/05/03 11:00:00\r\nPS,200\r\n";
    for (int i = 1; i <= 31; ++i) {
        writeTrack(QStringLiteral("b%1.gpx").arg(i));
        text += QStringLiteral("BN,b%1.gpx,Boat %1\r\n").arg(i).toUtf8();
    }
    const LoadResult r = load(text);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(state.raceFileName, "race01.txt");
    EXPECT_EQ(state.initialPlaySpeed, 200);
    EXPECT_EQ(state.boats[1].colour, (Rgb{255, 0, 0}));
    EXPECT_EQ(state.boats[16].colour, state.boats[1].colour);
    EXPECT_EQ(state.boats[31].colour, state.boats[1].colour);
    EXPECT_EQ(state.boats[30].colour, state.boats[15].colour);
    EXPECT_EQ(state.boats[16].kmlColour, "FFFF0000");
    EXPECT_EQ(state.boats[2].kmlColour, "FF00FF00");
}

TEST_F(LoadingTest, AFailedLoadKeepsTheWarningsGatheredBeforeIt)
{
    writeTrack("a.gpx");
    const LoadResult r = load("ST,2009/05/03 11:00:00\r\nBN,nothere.gpx,Two\r\nBN,a.gpx,One\r\nPS,fast\r\n");
    EXPECT_EQ(r.outcome, LoadResult::Failed);
    EXPECT_TRUE(r.message.contains("\"fast\"")) << r.message.toStdString();
    ASSERT_FALSE(r.warnings.isEmpty());
    EXPECT_TRUE(r.warnings[0].contains("nothere.gpx")) << r.warnings[0].toStdString();
    EXPECT_EQ(state.boatCount, 0);  // nothing half-read is presented
}

// A cover picture carries the race's title, so the captions stay empty; a
// cover.jpg that does not decode is no cover, and the captions are written.
TEST_F(LoadingTest, OnlyACoverThatDecodesIsACover)
{
    writeTrack("a.gpx");
    const QByteArray race = "ST,2009/05/03 11:00:00\r\nBN,a.gpx,One\r\n";
    t.write("raceadmin/cover.jpg", "not a picture");
    ASSERT_TRUE(load(race).ok());
    EXPECT_FALSE(state.coverPresent);
    EXPECT_EQ(state.title, "Keelrun  race01.txt");

    QFile tiny(KEELRUN_TEST_DATA "/tiny.jpg");
    ASSERT_TRUE(tiny.open(QIODevice::ReadOnly));
    t.write("raceadmin/cover.jpg", tiny.readAll());
    ASSERT_TRUE(load(race).ok());
    EXPECT_TRUE(state.coverPresent);
    EXPECT_TRUE(state.title.isEmpty());
}

TEST_F(LoadingTest, AChosenTimeModeOverridesTheRaceFile)
{
    writeTrack("a.gpx");
    const QByteArray withHandicaps = "ST,2009/05/03 11:00:00\r\nCT,0\r\nBN,a.gpx,One,0.95\r\n";
    ASSERT_TRUE(load(withHandicaps).ok());
    EXPECT_EQ(state.ctMode, 0);

    ASSERT_TRUE(load(withHandicaps, {.corrected = true}).ok());  // the user ticks "CT mode"
    EXPECT_EQ(state.ctMode, 1);

    // No handicaps: no choice to apply, the race file's line stands.
    ASSERT_TRUE(load("ST,2009/05/03 11:00:00\r\nCT,1\r\nBN,a.gpx,One\r\n", {.corrected = false}).ok());
    EXPECT_EQ(state.ctMode, 1);
}

}  // namespace
}  // namespace keelrun
