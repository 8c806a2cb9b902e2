// The pages of the map area: the map (Track), which plays, and the pages
// beside it, still pictures of the whole race redrawn when the focus or the
// window changes. Over a page the boat list's hover draws on a copy, so the
// page itself stays clean.

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "app/boat_list_panel.h"
#include "app/control_panel.h"
#include "app/main_window.h"
#include "app/make_control.h"
#include "app/map_canvas.h"
#include "app/playback_controller.h"
#include "render/painting.h"

namespace keelrun {

// The control panel chooses the map, the Graph page or the analysis pages
// (the one last shown); tabs over an analysis page choose among them.
void MainWindow::connectPages()
{
    connect(controls_->trackPageButton, &QRadioButton::clicked, this, [this] { showPage(Page::Track); });
    connect(controls_->graphPageButton, &QRadioButton::clicked, this, [this] { showPage(Page::Graph); });
    connect(controls_->analysisPageButton, &QRadioButton::clicked, this, [this] { showPage(analysisPage_); });
    pageTabs_ = makeControl<QWidget>(this, "pageTabs", {110, 5, 10, 22});
    int x = 0;
    for (const Page page : analysisPages()) {
        auto *tab = makeControl<QPushButton>(pageTabs_, qPrintable(QStringLiteral("pageTab%1").arg(int(page))), {x, 0, 10, 22});
        tab->setCheckable(true);
        tab->setAutoExclusive(true);
        tab->setProperty("page", int(page));
        connect(tab, &QPushButton::clicked, this, [this, page] { showPage(page); });
        x += 10;
    }
    pageTabs_->hide();
}

// The tabs' names in the window's language, each tab as wide as its name.
void MainWindow::nameTabs()
{
    int x = 0;
    for (QPushButton *tab : pageTabs_->findChildren<QPushButton *>()) {
        tab->setText(makeRacePage(Page(tab->property("page").toInt()))->title(language_));
        const int width = tab->fontMetrics().horizontalAdvance(tab->text()) + 16;
        tab->setGeometry(x, 0, width, pageTabs_->height());
        x += width + 2;
    }
    pageTabs_->resize(x, pageTabs_->height());
}

// Back on the map the replay plays on; the pages stop it and take the
// controls that only the map uses.
void MainWindow::showPage(Page page)
{
    const std::vector<Page> analysis = analysisPages();
    const bool analysed = std::find(analysis.begin(), analysis.end(), page) != analysis.end();
    QRadioButton *button = page == Page::Graph ? controls_->graphPageButton
                           : analysed          ? controls_->analysisPageButton
                                               : controls_->trackPageButton;
    button->setChecked(true);
    if (analysed)
        analysisPage_ = page;
    shownPage_ = page;
    page_ = makeRacePage(page);
    for (QPushButton *tab : pageTabs_->findChildren<QPushButton *>())
        tab->setChecked(tab->property("page").toInt() == int(page));
    pageTabs_->setVisible(analysed);
    pageTabs_->raise();
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
            controls_->boatNameBox->isChecked() ? 1 : 0, language_, boatList_->focus().liveBoats(), &progress_};
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

// What the page says where the pointer is: the boats' names while the
// pointer asks for them, a reading.
void MainWindow::showPagePointer(QPoint at)
{
    hoverPicture_ = pageBitmap_.copy();
    const bool shown = page_ && page_->showPointer(hoverPicture_, race_, at, pointer_.labelLevel);
    mapCanvas_->setPicture(shown ? &hoverPicture_ : &pageBitmap_);
}

}  // namespace keelrun
