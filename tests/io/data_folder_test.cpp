#include <gtest/gtest.h>

#include "test_folder.h"

namespace keelrun {
namespace {

TEST(DataFolder, FindsNamesWrittenOnWindows)
{
    test::TestFolder t;
    const QString file = t.write("gpsdat/Fleet A/Boat01.GPX", "x");
    const DataFolder folder = t.folder();
    EXPECT_EQ(folder.find(SubFolder::Tracks, "Fleet A/Boat01.GPX"), file);
    EXPECT_EQ(folder.find(SubFolder::Tracks, "Fleet A\\Boat01.GPX"), file);
    EXPECT_EQ(folder.find(SubFolder::Tracks, "fleet a\\boat01.gpx"), file);
    EXPECT_FALSE(folder.find(SubFolder::Tracks, "boat02.gpx"));
    EXPECT_FALSE(folder.find(SubFolder::Tracks, "Fleet A"));  // a folder is not a track file
    EXPECT_FALSE(folder.find(SubFolder::Tracks, ""));
}

TEST(DataFolder, NeverLeavesItsSubFolder)
{
    test::TestFolder t;
    t.write("raceadmin/race01.txt", "x");
    t.write("gpsdat/a.gpx", "x");
    const DataFolder folder = t.folder();
    EXPECT_FALSE(folder.find(SubFolder::Tracks, "../raceadmin/race01.txt"));
    EXPECT_FALSE(folder.find(SubFolder::Tracks, "..\\raceadmin\\race01.txt"));
    EXPECT_FALSE(folder.find(SubFolder::Tracks, t.path("gpsdat/a.gpx")));
}

TEST(DataFolder, WellKnownFilesAndHelpPages)
{
    test::TestFolder t;
    const DataFolder folder = t.folder();
    EXPECT_EQ(folder.coverPicture(), t.path("raceadmin/cover.jpg"));
    EXPECT_EQ(folder.firstRaceList(), t.path("raceadmin/racefile.st"));
    EXPECT_EQ(folder.editControl(), t.path("ctrl/editfile.edt"));
    EXPECT_EQ(folder.path(SubFolder::KmlIcons, "buoi.png"), t.path("ya/buoi.png"));
    EXPECT_FALSE(folder.helpPage(true));
    const QString english = t.write("help-e/index.html", "<html/>");
    EXPECT_FALSE(folder.helpPage(true));
    EXPECT_EQ(folder.helpPage(false), english);
}

}  // namespace
}  // namespace keelrun
