// The three pages of the map area: the map (Track), the Graph page and the
// Analysis page. Only the map plays; the pages are still pictures of the
// whole race, redrawn when the focus or the window changes. Over the pages
// the boat list's hover draws on a copy, so the page itself stays clean.

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
#include "render/pages/page_hovers.h"

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
    tableButton_->setVisible(page == Page::Analysis);
    tableButton_->raise();
    updateCtBanner();
    showEditPanels();
}

PageRequest MainWindow::pageRequest() const
{
    return {height(), boatList_->shown(), toQColor(seaColours(controls_->seaSlider->value()).sea),
            controls_->boatNameBox->isChecked() ? 1 : 0, language_};
}

// Draws the Graph or Analysis page, whichever shows, and shows it.
void MainWindow::drawPage()
{
    const Page page = currentPage();
    if (page == Page::Track || pageBitmap_.isNull())
        return;
    if (race_.boatCount == 0 || isLoading())
        pageBitmap_.fill(Qt::white);
    else if (page == Page::Graph)
        drawGraphPage(pageBitmap_, race_, pageRequest());
    else
        figurePoints_ = drawAnalysisPage(pageBitmap_, race_, pageRequest());
    mapCanvas_->setPicture(&pageBitmap_);
}

// The boat under the pointer over a page: its curves thick on the Graph
// page, its figures spelt out on the Analysis page.
void MainWindow::showPageHover(int boat)
{
    if (race_.boatCount == 0 || isLoading())
        return;
    hoverPicture_ = pageBitmap_.copy();
    if (currentPage() == Page::Graph)
        drawGraphHover(hoverPicture_, race_, GraphAxes(race_, hoverPicture_.width(), height()), boat);
    else if (boat < static_cast<int>(figurePoints_.size()))
        drawAnalysisHover(hoverPicture_, race_, figurePoints_, boat);
    mapCanvas_->setPicture(&hoverPicture_);
}

// The pointer between the list's boxes: the Graph page shows the wind.
void MainWindow::showPageWithWind()
{
    if (currentPage() != Page::Graph || race_.windFile.isEmpty() || race_.boatCount == 0 || isLoading())
        return;
    hoverPicture_ = pageBitmap_.copy();
    drawWindTrace(hoverPicture_, race_, GraphAxes(race_, hoverPicture_.width(), height()));
    mapCanvas_->setPicture(&hoverPicture_);
}

}  // namespace keelrun
