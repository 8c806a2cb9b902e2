// The boat list as the window uses it: a change of focus redraws what
// shows, and the boat under the pointer is ringed on the map or its track
// haloed over the course diagram, with the list's tips.

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include "app/boat_list_panel.h"
#include "app/control_panel.h"
#include "app/logo_panel.h"
#include "app/main_window.h"
#include "app/time_bar_panel.h"
#include "app/map_canvas.h"
#include "app/playback_controller.h"
#include "app/splash_panel.h"
#include "race/manoeuvres.h"
#include "race/roundings.h"
#include "render/course_diagram.h"

namespace keelrun {

void MainWindow::connectFocusList()
{
    connect(boatList_, &BoatListPanel::focusChanged, this, &MainWindow::onFocusChanged);
    connect(boatList_, &BoatListPanel::boatHovered, this, &MainWindow::onBoatHovered);
    connect(boatList_, &BoatListPanel::classHovered, this, &MainWindow::onClassHovered);
    connect(boatList_, &BoatListPanel::headerHovered, this, &MainWindow::onHeaderHovered);
    connect(boatList_, &BoatListPanel::panelHovered, this, &MainWindow::onListPanelHovered);
    connect(boatList_, &BoatListPanel::hoverEnded, this, &MainWindow::onListHoverEnded);
    for (QWidget *panel : std::initializer_list<QWidget *>{logo_, boatList_, controls_})
        panel->installEventFilter(this);
}

// A long boat list overlaps the logo panel or the control panel; the panel
// the pointer enters comes to the front.
void MainWindow::bringForward(QWidget *panel)
{
    if (!splash_->isVisible() && (panel == logo_ || panel == boatList_ || panel == controls_))
        panel->raise();
}

// A playing replay shows the change in its next frame; the pages and the
// stopped map are drawn again.
void MainWindow::watchBoats(const std::vector<int> &boats) { boatList_->chooseLiveBoats(boats); }

void MainWindow::onFocusChanged()
{
    showLiveNumbers();
    timeBar_->showRace(race_, boatList_->focus().selectedBoat());
    if (currentPage() == Page::Track)
        redrawWhenStopped();
    else
        drawPage();
}

// The boat under the pointer: ringed on a still map, its whole track haloed
// over the course diagram, its curves or figures marked on the pages.
void MainWindow::onBoatHovered(int boat, int boxTop)
{
    if (currentPage() != Page::Track) {
        showPageHover(boat);
        return;
    }
    if (mapBitmap_.isNull())
        return;
    if (controls_->autoTraceBox->isChecked()) {
        Tip tip = boatBoxTip(language_, race_.boats[boat].name);
        QStringList notes = passageNotes(race_, race_.boats[boat]);
        notes << manoeuvreSummary(race_.boats[boat]);
        for (const QString &note : std::as_const(notes)) {
            if (!note.isEmpty())
                tip.text += QStringLiteral("\r\n") + note;
        }
        showListTip(tip, boxTop);
        redrawWhenStopped();
        return;
    }
    hoverPicture_ = mapBitmap_.copy();
    highlightTrack(hoverPicture_, race_, boat, diagramView_);
    mapCanvas_->setPicture(&hoverPicture_);
}

void MainWindow::onClassHovered(int classIndex, int boxTop)
{
    if (currentPage() == Page::Track && controls_->autoTraceBox->isChecked())
        showListTip(classBoxTip(language_, race_.classes[classIndex].name), boxTop);
}

// The tip over the list header stays where the last list tip stood.
void MainWindow::onHeaderHovered()
{
    mapCanvas_->setPicture(currentPage() == Page::Track ? &mapBitmap_ : &pageBitmap_);
    showTip(tipFor(TipId::FocusAll, language_), tipBox_->pos());
}

void MainWindow::onListPanelHovered()
{
    onListHoverEnded();
    showPageListHover();
}

// The hover marks go: the map or the page shows as it was drawn.
void MainWindow::onListHoverEnded()
{
    tipBox_->hide();
    if (currentPage() != Page::Track) {
        mapCanvas_->setPicture(&pageBitmap_);
        return;
    }
    mapCanvas_->setPicture(&mapBitmap_);
    if (controls_->autoTraceBox->isChecked())
        redrawWhenStopped();  // the ring goes
}

void MainWindow::showListTip(const Tip &tip, int boxTop)
{
    showTip(tip, QPoint(boatList_->x(), boatList_->y() + boxTop + 30));
}

}  // namespace keelrun
