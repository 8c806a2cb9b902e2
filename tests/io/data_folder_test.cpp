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

}  // namespace
}  // namespace keelrun
