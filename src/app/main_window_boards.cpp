// The boards over the map: from the gun the running board lists the
// finishers so far and then the fleet in its order on the water, with each
// boat's gap to the leader; the class board lists each class's finishers so
// far; both step aside from the pointer. In small-screen mode the final ranking covers
// the map when the replay ends.

#include <algorithm>
#include <cmath>

#include <QLabel>
#include <QScrollBar>

#include "app/boat_list_panel.h"
#include "app/control_panel.h"
#include "app/main_window.h"
#include "app/playback_controller.h"
#include "app/time_bar_panel.h"
#include "render/painting.h"
#include "render/live_panel.h"
#include "render/ranking_boards.h"
#include "view/window_layout.h"

namespace keelrun {

void MainWindow::prepareBoards()
{
    hideBoards();
}

// The boards as they stand at the clock, the running board beside the time
// bar in as many columns as the map's height needs.
void MainWindow::showBoards()
{
    const double now = playback_->clock().raceClock;
    boardSample_ = static_cast<int>(std::floor(now / progress_.step));
    const auto board = drawRunningBoard(race_, runningOrder(race_, progress_, now), finishBoardRows(mapSize_.height() - 10));
    if (!board) {
        hideBoards();  // before the gun, or a race without lines
        return;
    }
    // A board that stepped aside from the pointer stays at the map's left.
    const bool aside = finishBoard_->isVisible() && finishBoard_->x() <= 50;
    finishBoard_->setPixmap(QPixmap::fromImage(*board));
    finishBoard_->setGeometry(aside ? 5 : timeBar_->x() - board->width() - 5, 5, board->width(), board->height());
    finishBoard_->show();
    finishBoard_->raise();
    const bool finishes = playback_->clock().finishedCount > 0;
    const auto classes = finishes && race_.classesEnabled && smallScreen_ == SmallScreen::Off && tallWindow_
                             ? drawClassBoard(race_, playback_->clock().finishAnnounced)
                             : std::nullopt;
    if (!classes) {
        classBoard_->hide();
        return;
    }
    const bool atTop = classBoard_->isVisible() && classBoard_->y() < 50;  // it first shows at the foot of the map
    classBoard_->setPixmap(QPixmap::fromImage(*classes));
    classBoard_->resize(classes->size());
    classBoard_->move(classBoard_->x(), atTop ? 5 : formHeight() - classes->height() - 5);
    classBoard_->show();
    classBoard_->raise();
}

// Every finisher in order over the whole map; false for a race without
// lines. The replay stops either way.
bool MainWindow::showFinalRanking()
{
    playback_->freeze();
    const auto ranking = drawFinalRanking(race_, mapSize_, toQColor(seaColours(controls_->seaSlider->value()).sea));
    if (!ranking)
        return false;
    hideBoards();
    finalRanking_->setPixmap(QPixmap::fromImage(*ranking));
    finalRanking_->setGeometry(QRect(QPoint(0, 0), ranking->size()));
    finalRanking_->show();
    finalRanking_->raise();
    return true;
}

// The live numbers of the highlighted and watched boats at the clock, at the
// map's foot left, above the scale bar; nothing without such a boat racing.
void MainWindow::showLiveNumbers()
{
    std::vector<LiveNumbers> rows;
    const std::vector<int> watched = boatList_->focus().liveBoats();
    if (!watched.empty() && currentPage() == Page::Track && smallScreen_ == SmallScreen::Off && race_.boatCount > 0) {
        const std::vector<LiveNumbers> fleet = liveNumbers(race_, progress_, playback_->clock().raceClock);
        for (const int boat : watched) {
            const auto numbers = std::find_if(fleet.begin(), fleet.end(), [boat](const LiveNumbers &n) { return n.boat == boat; });
            if (numbers != fleet.end())
                rows.push_back(*numbers);
        }
    }
    const QImage panel = drawLivePanel(race_, rows, language_);
    if (panel.isNull()) {
        livePanel_->hide();
        return;
    }
    livePanel_->setPixmap(QPixmap::fromImage(panel));
    livePanel_->setGeometry(5, mapSize_.height() - 30 - panel.height(), panel.width(), panel.height());
    livePanel_->show();
    livePanel_->raise();
}

// The running board moves on as the progress is sampled.
void MainWindow::showBoardsEverySample()
{
    if (static_cast<int>(std::floor(playback_->clock().raceClock / progress_.step)) != boardSample_)
        showBoards();
}

void MainWindow::showFinishesSoFar()
{
    finishGuns(playback_->clock(), race_);
    showBoards();
}

void MainWindow::hideBoards()
{
    finishBoard_->hide();
    classBoard_->hide();
}

// A board the pointer touches moves to the other side of the map.
void MainWindow::dodge(QWidget *board)
{
    const int besideTimeBar = timeBar_->x() - finishBoard_->width() - 5;
    if (board == finishBoard_) {
        if (finishBoard_->x() <= 50) {
            finishBoard_->move(besideTimeBar, finishBoard_->y());
            return;
        }
        finishBoard_->move(5, finishBoard_->y());
        if (classBoard_->y() < 50)
            classBoard_->move(classBoard_->x(), formHeight() - classBoard_->height() - 5);
        return;
    }
    classBoard_->move(classBoard_->x(), classBoard_->y() < 50 ? formHeight() - classBoard_->height() - 5 : 5);
    finishBoard_->move(besideTimeBar, finishBoard_->y());
}

}  // namespace keelrun
