// The pages of the map area: the map (Track), which plays, and the pages
// beside it, still pictures of the whole race redrawn when the focus or the
// window changes. Over a page the boat list's hover draws on a copy, so the
// page itself stays clean.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "app/boat_list_panel.h"
#include "app/control_panel.h"
#include "app/main_window.h"
#include "app/map_canvas.h"
#include "app/playback_controller.h"
#include "render/painting.h"

namespace keelrun {

void MainWindow::connectPages()
{
    const std::pair<QRadioButton *, Page> buttons[] = {{controls_->trackPageButton, Page::Track},
                                                       {controls_->graphPageButton, Page::Graph},
                                                       {controls_->analysisPageButton, Page::Analysis}};
    for (const auto &[button, page] : buttons)
        connect(button, &QRadioButton::clicked, this, [this, page = page] { showPage(page); });
}

Page MainWindow::currentPage() const
{
    if (controls_->graphPageButton->isChecked())
        return Page::Graph;
    return controls_->analysisPageButton->isChecked() ? Page::Analysis : Page::Track;
}

// Back on the map the replay plays on; the pages stop it and take the
// controls that only the map uses.
void MainWindow::showPage(Page page)
{
    QRadioButton *button = page == Page::Graph      ? controls_->graphPageButton
                           : page == Page::Analysis ? controls_->analysisPageButton
                                                    : controls_->trackPageButton;
    button->setChecked(true);
    page_ = makeRacePage(page);
    applyPageControls(page);
    if (page == Page::Track) {
        controls_->autoTraceBox->setChecked(true);
        playback_->play(playback_->clock().playDirection);
        drawFrame();
        showBoards();  // the boards as they stand at the clock
        showLiveNumbers();
        return;
    }
    hideBoards();
    livePanel_->hide();
    drawPage();
}

void MainWindow::applyPageControls(Page page)
{
    const bool track = page == Page::Track;
    controls_->raceChooser->setEnabled(track);
    controls_->showRaceButton->setEnabled(track);
    controls_->smallScreenBox->setEnabled(track);
    stopwatchButton_->setVisible(track && smallScreen_ == SmallScreen::Off);
    timeModePanel_->setVisible(track && race_.handicapsPresent);
    if (!track)
        flagPanel_->hide();  // the start flags belong to the replay
    tableButton_->setVisible(page_ && page_->offersTable());
    tableButton_->raise();
    updateCtBanner();
    showEditPanels();
}

PageRequest MainWindow::pageRequest() const
{
    return {height(), boatList_->shown(), toQColor(seaColours(controls_->seaSlider->value()).sea),
            controls_->boatNameBox->isChecked() ? 1 : 0, language_};
}

// Draws the page that shows, if not the map, and shows it.
void MainWindow::drawPage()
{
    if (!page_ || pageBitmap_.isNull())
        return;
    if (race_.boatCount == 0 || isLoading())
        pageBitmap_.fill(Qt::white);
    else
        page_->draw(pageBitmap_, race_, pageRequest());
    mapCanvas_->setPicture(&pageBitmap_);
}

// The boat under the pointer over a page, marked as the page marks it.
void MainWindow::showPageHover(int boat)
{
    if (!page_ || race_.boatCount == 0 || isLoading())
        return;
    hoverPicture_ = pageBitmap_.copy();
    page_->markBoat(hoverPicture_, race_, pageRequest(), boat);
    mapCanvas_->setPicture(&hoverPicture_);
}

// The pointer between the list's boxes: what the page shows for it (the
// Graph page, the wind).
void MainWindow::showPageListHover()
{
    if (!page_ || race_.boatCount == 0 || isLoading())
        return;
    hoverPicture_ = pageBitmap_.copy();
    if (page_->markListHover(hoverPicture_, race_, pageRequest()))
        mapCanvas_->setPicture(&hoverPicture_);
}

// The boats' names beside their marks while the pointer asks for them.
void MainWindow::showPageNames()
{
    hoverPicture_ = pageBitmap_.copy();
    const bool named = pointer_.labelLevel > 0 && page_ && page_->nameBoats(hoverPicture_, race_);
    mapCanvas_->setPicture(named ? &hoverPicture_ : &pageBitmap_);
}

}  // namespace keelrun
