// The replay as the window shows it: the frames, the clock and the daylight
// it sets, the playback buttons, keys and the stopwatch.

#include <cmath>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QThread>

#include "app/boat_list_panel.h"
#include "app/control_panel.h"
#include "app/logo_panel.h"
#include "app/main_window.h"
#include "app/map_canvas.h"
#include "app/playback_controller.h"
#include "app/small_screen_bar.h"
#include "app/splash_panel.h"
#include "app/time_bar_panel.h"
#include "race/daylight.h"
#include "render/overview_map.h"
#include "view/sliders.h"

namespace keelrun {
namespace {

constexpr double kWheelZoom = 1.25;  // the scale's change a notch of the wheel
constexpr int kBoatReach = 15;       // pixels from a boat a double click still takes it

}  // namespace

DisplayChoices MainWindow::displayChoices() const
{
    const ControlPanel *c = controls_;
    DisplayChoices choices;
    choices.autoTrace = c->autoTraceBox->isChecked();
    choices.northUp = c->northUpButton->isChecked();
    choices.zoomSlider = c->zoomSlider->value();
    choices.seaBrightness = c->seaSlider->value();
    choices.laylines = c->laylineBox->isChecked();
    choices.labelLevel = pointer_.labelLevel;
    choices.showHidden = pointer_.showHidden;
    choices.fastWakes = pointer_.fastWakes;
    choices.windArrowsShown = pointer_.windArrowsShown;
    choices.blinkNames = pointer_.blinkNames;
    choices.bigBoats = c->bigBoatBox->isChecked();
    choices.comparisonLines = c->comparisonBox->isChecked();
    choices.speedColours = c->speedColourBox->isChecked();
    choices.windowHeight = height();
    choices.mapSize = mapSize_;
    choices.shown = boatList_->shown();
    choices.hoveredBoat = boatList_->focus().hoveredBoat();
    choices.selectedBoat = boatList_->focus().selectedBoat();
    choices.night = daylightAt(timeOfDay(playback_->clock().raceClock, race_.daylight), race_.daylight).night;
    choices.lights = &playback_->lights();
    return choices;
}

void MainWindow::showSpeedColours(bool shown)
{
    controls_->speedColourBox->setChecked(shown);
    redrawWhenStopped();
}

bool MainWindow::drawFrame()
{
    if (isLoading() || race_.boatCount == 0 || mapBitmap_.isNull() || currentPage() != Page::Track)
        return false;
    if (!controls_->autoTraceBox->isChecked()) {
        showCourseDiagram();
        return true;
    }
    const MapFrameRequest request = mapFrameRequest(displayChoices(), playback_->clock(), pictures_);
    FrameState &frame = playback_->frame();
    computeFrame(frame, race_, request.frame);
    fleetFitScale_ = frame.view.latScale * request.frame.zoomDivisor;
    frame.view = ledView(viewLead_, frame.view, frame);
    mapBitmap_.fill(request.boats.sea);
    drawMapFrame(mapBitmap_, race_, frame, request.boats, request.overlays);
    if (insetOverview_ && smallScreen_ != SmallScreen::Off)
        drawInsetOverview(mapBitmap_, overviewPicture_, race_, frame, request.frame.northUp);
    ++playback_->clock().frameCount;
    if (frame.tickAll)
        boatList_->tickAll();
    timeBar_->placePointer(frame.now);
    moveOverviewMarkers();
    mapCanvas_->setPicture(&mapBitmap_);
    return true;
}

// The wheel zooms about the pointer, a drag pans, on the playing map and
// on the course diagram alike. On the playing map a double click on a boat
// (there or in the boat list) follows it and on open water goes back to
// framing the fleet; on the diagram a click centres it and zooms in, a
// right click out.
void MainWindow::connectMapGestures()
{
    connect(mapCanvas_, &MapCanvas::wheelTurned, this, [this](QPoint at, double steps) {
        const double factor = std::pow(kWheelZoom, steps);
        if (showsCourseDiagram())
            leadDiagram(zoomCourseDiagramAbout(courseView_, diagramView_, at, factor));
        else
            leadMap(zoomedAbout(viewLead_, playback_->frame().view, at, factor));
    });
    connect(mapCanvas_, &MapCanvas::dragged, this, [this](QPoint from, QPoint to) {
        if (showsCourseDiagram())
            leadDiagram(panCourseDiagram(courseView_, diagramView_, from, to));
        else if (viewLead_.kind != ViewLead::Kind::Follow)
            leadMap(pannedBy(playback_->frame().view, from, to));
    });
    connect(mapCanvas_, &MapCanvas::clickedWithoutDrag, this, [this](QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
        if (showsCourseDiagram() && !(modifiers & Qt::ShiftModifier))
            leadDiagram(clickCourseDiagram(courseView_, diagramView_, at, button == Qt::LeftButton));
    });
    connect(mapCanvas_, &MapCanvas::doubleClicked, this, [this](QPoint at) {
        const int boat = boatUnder(playback_->frame(), at, kBoatReach);
        leadMap(boat > 0 ? following(boat, playback_->frame().view) : ViewLead{});
    });
    connect(boatList_, &BoatListPanel::boatDoubleClicked, this, &MainWindow::followBoat);
    // The zoom slider and the wheel change the same scale: the slider shows
    // the wheel's, and moved, sets the scale of a map led by the user.
    connect(controls_->zoomSlider, &QScrollBar::valueChanged, this, [this](int position) {
        if (viewLead_.kind != ViewLead::Kind::Fit)
            viewLead_.latScale = fleetFitScale_ / zoomDivisorForSlider(position);
        redrawWhenStopped();
    });
}

// The stopped map shows the course diagram, and the user's clicks, wheel
// and drags move it.
bool MainWindow::showsCourseDiagram() const
{
    return currentPage() == Page::Track && !controls_->autoTraceBox->isChecked() && !playback_->isPlaying() && race_.boatCount > 0;
}

void MainWindow::leadDiagram(const CourseView &next)
{
    courseView_ = next;
    showCourseDiagram();
}

// The playing map takes the user's lead; the stopped map and the pages have
// their own.
void MainWindow::leadMap(const ViewLead &next)
{
    if (currentPage() != Page::Track || !controls_->autoTraceBox->isChecked() || race_.boatCount == 0)
        return;
    viewLead_ = next;
    if (viewLead_.kind != ViewLead::Kind::Fit) {
        const QSignalBlocker quiet(controls_->zoomSlider);
        controls_->zoomSlider->setValue(zoomSliderPosition(fleetFitScale_ / viewLead_.latScale));
    }
    drawFrame();
}

void MainWindow::followBoat(int boat)
{
    if (boat >= 1 && boat <= race_.boatCount)
        leadMap(following(boat, playback_->frame().view));
}

void MainWindow::redrawWhenStopped()
{
    if (!playback_->isTicking())
        drawFrame();
}

// After a load the race waits at the start of its window; the second tick
// starts the playback once the splash has gone.
void MainWindow::startReplay()
{
    pictures_ = mapPictures(race_, controls_->northUpButton->isChecked());
    playback_->startRace(race_.initialPlaySpeed);
    controls_->showPlaySpeed(race_.initialPlaySpeed);
    smallScreenBar_->showPlaySpeed(race_.initialPlaySpeed);
    stopwatchButton_->setText(playback_->stopwatch().buttonText());
    stopwatchBox_->hide();
}

void MainWindow::play(int direction)
{
    if (isLoading())
        return;
    controls_->autoTraceBox->setChecked(true);
    stopwatchButton_->setVisible(smallScreen_ == SmallScreen::Off);
    showEditPanels();
    playback_->play(direction);
}

void MainWindow::stopPlayback()
{
    const bool wasStopped = !controls_->autoTraceBox->isChecked();
    controls_->autoTraceBox->setChecked(true);
    playback_->stop();
    if (wasStopped) {  // the course diagram gives way to the map of the moment
        stopwatchButton_->setVisible(smallScreen_ == SmallScreen::Off);
        drawFrame();
    }
}

void MainWindow::step(int direction)
{
    if (!isLoading())
        playback_->step(direction);
}

// Auto Trace off stops the replay and frames the whole race.
void MainWindow::onAutoTraceClicked(bool checked)
{
    QApplication::beep();
    if (checked) {
        play(+1);
        return;
    }
    playback_->stop();
    stopwatchButton_->hide();
    courseView_ = wholeRaceView(race_);
    drawFrame();
    showEditPanels();
}

void MainWindow::holdForPicture(bool stopped)
{
    splashHold_.stop();
    splash_->hide();
    if (stopped) {
        controls_->autoTraceBox->setChecked(false);
        onAutoTraceClicked(false);
    }
    else
        playback_->freeze();
}

void MainWindow::onStopwatchClicked()
{
    playback_->pressStopwatch();
    stopwatchButton_->setText(playback_->stopwatch().buttonText());
    stopwatchBox_->setVisible(playback_->stopwatch().state != Stopwatch::Off);
}

void MainWindow::onSecondTicked(const SecondTick &tick)
{
    timeModePanel_->setVisible(race_.handicapsPresent);
    flagPanel_->setVisible(tick.flagPanel);
    preparatoryFlag_->setVisible(tick.preparatoryFlag);
}

void MainWindow::showClockTime()
{
    if (timeHover_)
        return;  // the box shows the time under the pointer on the time bar
    logo_->dateTimeBox->setText(dateTimeText(addSeconds(race_.startTime, qRound(playback_->clock().raceClock))));
}

// The sea darkens with the time of day; the next frame shows it.
void MainWindow::followDaylight()
{
    if (!controls_->autoSeaBox->isChecked())
        return;
    const int level = daylightAt(timeOfDay(playback_->clock().raceClock, race_.daylight), race_.daylight).level;
    if (level == controls_->seaSlider->value())
        return;
    const QSignalBlocker quiet(controls_->seaSlider);
    controls_->seaSlider->setValue(level);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!mayClose()) {
        event->ignore();
        return;
    }
    closing_ = true;  // a load still running is waited for and its race dropped
    playback_->stop();
    if (loader_)
        loader_->wait();
    QApplication::beep();
    event->accept();
}

}  // namespace keelrun
