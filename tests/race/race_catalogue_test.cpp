#include <gtest/gtest.h>

#include "race/race_catalogue.h"
#include "test_folder.h"

namespace keelrun {
namespace {

class RaceCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *name : {"race02.txt", "Race01.txt", "race10.txt"})
            t.write(QStringLiteral("raceadmin/") + name, "x");
        t.write("raceadmin/notes.csv", "x");
    }
    test::TestFolder t;
};

TEST_F(RaceCatalogueTest, ListsRaceFilesSortedAndStartsWithTheFirst)
{
    const RaceCatalogue c = openCatalogue(t.folder());
    EXPECT_EQ(c.raceList, (QStringList{"Race01.txt", "race02.txt", "race10.txt"}));
    EXPECT_FALSE(c.editMode);
    EXPECT_EQ(c.raceFilePath, t.path("raceadmin/Race01.txt"));
    EXPECT_EQ(c.raceListIndex, 1);
}

TEST_F(RaceCatalogueTest, RaceFileStNamesTheFirstRace)
{
    t.write("raceadmin/racefile.st", "race10.txt\r\nrace02.txt\r\n");
    const RaceCatalogue c = openCatalogue(t.folder());
    EXPECT_EQ(c.raceFilePath, t.path("raceadmin/race10.txt"));
    EXPECT_EQ(c.raceListIndex, 3);
}

TEST_F(RaceCatalogueTest, MissingRaceInRaceFileStFallsBackToTheFirst)
{
    t.write("raceadmin/racefile.st", "gone.txt\r\n");
    EXPECT_EQ(openCatalogue(t.folder()).raceFilePath, t.path("raceadmin/Race01.txt"));
}

TEST_F(RaceCatalogueTest, EditFileTurnsOnEditModeAndNamesTheRaceOnItsLastLine)
{
    t.write("raceadmin/racefile.st", "race10.txt\r\n");
    t.write("ctrl/editfile.edt", "organiser notes\r\nRACE02.TXT\r\n\r\n");
    const RaceCatalogue c = openCatalogue(t.folder());
    EXPECT_TRUE(c.editMode);
    EXPECT_EQ(c.raceFilePath, t.path("raceadmin/race02.txt"));
    EXPECT_EQ(c.raceListIndex, 2);
}

TEST_F(RaceCatalogueTest, IndexMatchesWholeNamesOnly)
{
    const QStringList list{"a.txt", "ba.txt"};
    EXPECT_EQ(catalogueIndexOf(list, "/data/raceadmin/ba.txt"), 2);
    EXPECT_EQ(catalogueIndexOf(list, "/data/raceadmin/A.TXT"), 1);
    EXPECT_EQ(catalogueIndexOf(list, "/data/raceadmin/c.txt"), 0);
}

TEST(RaceCatalogue, EmptyFolderHasNoRace)
{
    test::TestFolder t;
    const RaceCatalogue c = openCatalogue(t.folder());
    EXPECT_TRUE(c.raceList.isEmpty());
    EXPECT_TRUE(c.raceFilePath.isEmpty());
    EXPECT_EQ(c.raceListIndex, 0);
}

TEST(RaceCatalogue, NextRaceWrapsRoundToTheFirst)
{
    RaceCatalogue c;
    c.raceList = {"race01.txt"};
    c.raceListIndex = 1;
    EXPECT_FALSE(nextRaceIndex(c));  // no other race to go to
    c.raceList << "race02.txt" << "race03.txt";
    EXPECT_EQ(nextRaceIndex(c), 2);
    c.raceListIndex = 3;
    EXPECT_EQ(nextRaceIndex(c), 1);
    c.raceListIndex = 0;  // the shown race is not listed
    EXPECT_EQ(nextRaceIndex(c), 1);
}

}  // namespace
}  // namespace keelrun
