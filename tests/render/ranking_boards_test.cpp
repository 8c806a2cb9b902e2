// The finish board, the class board and the final ranking.

#include <gtest/gtest.h>

#include "render/live_panel.h"
#include "render/painting.h"
#include "render/ranking_boards.h"

namespace keelrun {
namespace {

// Boats finish at 1000 + 42 (b - 1) s, in boat order; two classes alternate.
class BoardsTest : public ::testing::Test {
protected:
    void setUp(int boats)
    {
        race.lineCount = 1;
        race.course = {"L1", "L1"};
        race.boatCount = boats;
        race.classesEnabled = true;
        race.classCount = 2;
        race.classes[1].name = QStringLiteral("Open");
        race.classes[2].name = QStringLiteral("Daysailer Twenty-Two");
        race.results.firstPassTime[2] = 1000;
        for (int b = 1; b <= boats; ++b) {
            BoatEntry &boat = race.boats[b];
            boat.name = QStringLiteral("Boat %1").arg(b);
            boat.colour = {static_cast<std::uint8_t>(10 * b), 0, 100};
            boat.classIndex = b % 2 == 1 ? 1 : 2;
            boat.roundingTime[2] = 1000 + 42 * (b - 1);
            boat.finishRank = b;
        }
    }
    RaceState race;
};

TEST_F(BoardsTest, FinishBoardHasABarForEveryFinisherInFinishingOrder)
{
    setUp(4);
    race.boats[4].roundingTime[2] = kNotReached;  // did not finish
    race.boats[3].roundingTime[2] = race.boats[2].roundingTime[2];
    race.boats[3].finishRank = 2;  // level with boat 2
    EXPECT_EQ(finishRowText(race, 1), " 1  Boat 1  (+0sec)");
    EXPECT_EQ(finishRowText(race, 2), " 2  Boat 2  (+42sec)");
    const auto board = drawFinishBoard(race, 3, 40);
    ASSERT_TRUE(board);
    EXPECT_EQ(board->size(), QSize(185, 3 * 15 + 6));
    EXPECT_EQ(board->pixelColor(179, 1 * 15 - 10 + 1), QColor(10, 0, 100));  // rank 1
    EXPECT_EQ(board->pixelColor(179, 2 * 15 - 10 + 1), QColor(20, 0, 100));  // rank 2: boat 2
    EXPECT_EQ(board->pixelColor(179, 3 * 15 - 10 + 1), QColor(30, 0, 100));  // and boat 3, level with it
    EXPECT_EQ(finishRowText(race, 3), " 2  Boat 3  (+42sec)");
    EXPECT_EQ(finishBoardHeight(2), 36);
    EXPECT_EQ(drawFinishBoard(race, 1, 40)->size(), QSize(185, 15 + 6));  // the board as it stands after the first finish
    race.lineCount = 0;
    EXPECT_FALSE(drawFinishBoard(race, 3, 40));
}

// The running board: the finishers' rows as on the finish board, then the
// boats racing with their gap to the leader; the leader's row has none.
TEST_F(BoardsTest, RunningBoardFollowsTheOrderWithGaps)
{
    setUp(4);
    EXPECT_EQ(runningRowText(race, {3, false, 0, 0}, 1), " 1  Boat 3");
    EXPECT_EQ(runningRowText(race, {4, false, 41.6, 180.4}, 3), " 3  Boat 4  +42sec 180m");
    const std::vector<RunningPlace> order{{1, true, 0, 0}, {4, false, 12, 50}, {2, false, 30, 120}};
    const auto board = drawRunningBoard(race, order, 40);
    ASSERT_TRUE(board);
    EXPECT_EQ(board->height(), 3 * 15 + 6);
    EXPECT_EQ(board->pixelColor(179, 1 * 15 - 10 + 1), QColor(10, 0, 100));  // boat 1, finished
    EXPECT_EQ(board->pixelColor(179, 2 * 15 - 10 + 1), QColor(40, 0, 100));  // boat 4, racing
    EXPECT_EQ(board->pixelColor(179, 3 * 15 - 10 + 1), QColor(20, 0, 100));  // boat 2
    EXPECT_FALSE(drawRunningBoard(race, {}, 40));
}

// The live panel: a row a watched boat, its name on its colour, its place,
// gap, leg, distance to the next mark, SOG, COG and VMG with their units.
TEST_F(BoardsTest, LivePanelShowsTheWatchedBoatsNumbers)
{
    setUp(3);
    const LiveNumbers second{2, 3, false, 2, 1500, 900, 320.4, 41.6, 180.4, 6.24, 5, -5.71};
    EXPECT_EQ(livePanelCells(second, Language::EnglishChosen),
              QStringList({"3", "+42 s 180 m", "2", "320 m", "6.2", "005", "-5.7"}));
    LiveNumbers leader = second;
    leader.rank = 1;
    EXPECT_EQ(livePanelCells(leader, Language::EnglishChosen)[1], "-");
    LiveNumbers finished = second;
    finished.finished = true;
    finished.leg = 0;
    EXPECT_EQ(livePanelCells(finished, Language::Japanese).mid(1, 3), QStringList({u"完走"_qs, "-", "-"}));
    EXPECT_TRUE(livePanelHeads(Language::EnglishChosen).contains("SOG kn"));
    EXPECT_TRUE(livePanelHeads(Language::Japanese).contains(u"順位"_qs));

    const QImage panel = drawLivePanel(race, {second, leader}, Language::EnglishChosen);
    EXPECT_EQ(panel.height(), 3 * 15 + 2);
    EXPECT_EQ(panel.pixelColor(2, 1 + 15 + 3), QColor(20, 0, 100));  // boat 2's name on its colour
    EXPECT_TRUE(drawLivePanel(race, {}, Language::EnglishChosen).isNull());
}

// A big fleet's board wraps into columns side by side rather than running
// off the foot of the map.
TEST_F(BoardsTest, ABigFleetsFinishBoardWrapsIntoColumns)
{
    setUp(59);
    EXPECT_EQ(finishBoardRows(786), 52);  // an 800-pixel window's map, less the margins
    const auto board = drawFinishBoard(race, 59, 52);
    ASSERT_TRUE(board);
    EXPECT_EQ(board->size(), QSize(2 * 185, 52 * 15 + 6));
    EXPECT_EQ(board->pixelColor(179, 52 * 15 - 10 + 1), toQColor(race.boats[52].colour));        // rank 52 at the first column's foot
    EXPECT_EQ(board->pixelColor(185 + 179, 1 * 15 - 10 + 1), toQColor(race.boats[53].colour));   // rank 53 heads the second
    EXPECT_EQ(board->pixelColor(185 + 179, 7 * 15 - 10 + 1), toQColor(race.boats[59].colour));
    EXPECT_EQ(board->pixelColor(185 + 179, 8 * 15 - 10 + 1), QColor(Qt::black));
}

TEST_F(BoardsTest, ClassBoardListsTheAnnouncedFinishersByPlaceInClass)
{
    setUp(4);
    race.boats[3].roundingTime[2] = kNotReached;  // boat 3 of class 1 does not finish, yet counts
    race.boats[3].finishRank = 0;
    race.classes[2].name = QStringLiteral("Open");  // short names: columns of 100 pixels
    const auto board = drawClassBoard(race, {false, true, true, false, true});
    ASSERT_TRUE(board);
    EXPECT_EQ(board->size(), QSize(2 * 100 + 5, 2 * 15 + 24));  // class 2 has two finishers
    EXPECT_EQ(board->pixelColor(5 + 90, 5), QColor(Qt::white));        // class 1's header
    EXPECT_EQ(board->pixelColor(5 + 90, 1 * 15 + 6 + 2), QColor(10, 0, 100));   // boat 1, first of class 1
    EXPECT_EQ(board->pixelColor(105 + 90, 1 * 15 + 6 + 2), QColor(20, 0, 100)); // boat 2, first of class 2
    EXPECT_EQ(board->pixelColor(105 + 90, 2 * 15 + 6 + 2), QColor(40, 0, 100)); // boat 4, second of class 2
    // A long class name widens every column to hold it whole.
    race.classes[2].name = QStringLiteral("Daysailer Twenty-Two");
    EXPECT_GT(drawClassBoard(race, {false, true, true, false, true})->width(), 2 * 100 + 5);
    race.classesEnabled = false;
    EXPECT_FALSE(drawClassBoard(race, {}));
}

TEST_F(BoardsTest, FinalRankingFillsColumnsOfRows)
{
    setUp(25);
    const auto ranking = drawFinalRanking(race, QSize(800, 10 * 15 + 30), QColor(0, 0, 70));
    ASSERT_TRUE(ranking);
    EXPECT_EQ(ranking->pixelColor(10 + 178, 20 + 2), QColor(10, 0, 100));             // rank 1: column 0, row 0
    EXPECT_EQ(ranking->pixelColor(210 + 10 + 178, 9 * 15 + 20 + 2), QColor(200, 0, 100));  // rank 20: column 1, row 9
    EXPECT_EQ(ranking->pixelColor(420 + 10 + 178, 4 * 15 + 20 + 2), QColor(250, 0, 100));  // rank 25: column 2, row 4
    EXPECT_EQ(ranking->pixelColor(420 + 10 + 178, 5 * 15 + 20 + 2), QColor(0, 0, 70));     // nothing after it
}

}  // namespace
}  // namespace keelrun
