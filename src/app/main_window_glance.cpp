// The race at a glance: the overview map with its boat markers, the time
// bar with its pointer, and the course diagram the map shows while stopped.

#include <algorithm>

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

#include "app/boat_list_panel.h"
#include "app/control_panel.h"
#include "app/logo_panel.h"
#include "app/main_window.h"
#include "app/map_canvas.h"
#include "app/playback_controller.h"
#include "app/time_bar_panel.h"
#include "base/numbers.h"
#include "render/course_diagram.h"
#include "render/overview_map.h"
#include "render/painting.h"
#include "view/window_layout.h"

namespace keelrun {

void MainWindow::connectGlance()
{
    connect(timeBar_, &TimeBarPanel::hovered, this, &MainWindow::onTimeBarHovered);
    connect(timeBar_, &TimeBarPanel::hoverEnded, this, &MainWindow::onTimeBarHoverEnded);
    connect(timeBar_, &TimeBarPanel::timeChosen, this, &MainWindow::jumpTo);
    connect(timeBar_, &TimeBarPanel::startChosen, this, [this] { jumpTo(race_.windowStart); });
}

void MainWindow::redrawOverview()
{
    if (race_.boatCount == 0)
        return;
    overviewPicture_ = drawOverviewMap(race_, controls_->northUpButton->isChecked());
    logo_->setOverview(overviewPicture_);
}

// The markers follow the boats; while the pointer is on the time bar they
// show its time instead.
void MainWindow::moveOverviewMarkers()
{
    if (timeHover_)
        return;
    const FrameState &frame = playback_->frame();
    const bool northUp = controls_->northUpButton->isChecked();
    const int finish = race_.courseLength();
    for (int b = 1; b <= race_.boatCount && b < static_cast<int>(frame.boats.size()); ++b) {
        const double finishedAt = finish > 0 ? race_.boats[b].roundingTime[finish] : kNotReached;
        if (passed(finishedAt) && finishedAt <= frame.now)
            logo_->hideBoatMarker(b);  // home: its gun has fired
        else if (frame.boats[b].hasPosition)
            logo_->moveBoatMarker(b, overviewMarkerPlace({frame.boats[b].lat, frame.boats[b].lon}, race_, northUp), true);
    }
}

void MainWindow::showCourseDiagram()
{
    if (!controls_->trackPageButton->isChecked() || controls_->autoTraceBox->isChecked() || mapBitmap_.isNull() ||
        race_.boatCount == 0)
        return;
    CourseDiagramRequest request;
    request.view = courseDiagramView(courseView_, race_, mapSize_, controls_->northUpButton->isChecked());
    request.now = playback_->clock().raceClock;
    request.shown = boatList_->shown();
    request.names = controls_->boatNameBox->isChecked();
    request.speedColours = controls_->speedColourBox->isChecked();
    request.sea = toQColor(seaColours(controls_->seaSlider->value()).sea);
    request.compass = &pictures_.compass;
    drawCourseDiagram(mapBitmap_, race_, request);
    diagramView_ = request.view;
    timeBar_->placePointer(request.now);
    FrameState &frame = playback_->frame();
    placeBoats(frame, race_, request.now);
    frame.now = request.now;
    moveOverviewMarkers();
    mapCanvas_->setPicture(&mapBitmap_);
}

void MainWindow::jumpTo(double raceClock)
{
    if (!controls_->trackPageButton->isChecked() || isLoading())
        return;
    playback_->jumpTo(raceClock);
    drawFrame();
    showBoards();
    showLiveNumbers();
    showClockTime();
}

// The date and time under the pointer, and where every ticked boat was then
// on the overview.
void MainWindow::onTimeBarHovered(double raceClock, QPoint at)
{
    timeHover_ = true;
    const QString when = dateTimeText(addSeconds(race_.startTime, roundHalfEven(raceClock)));
    logo_->dateTimeBox->setText(when);
    const double t = std::clamp(raceClock, race_.windowStart, race_.windowEnd);
    const std::vector<bool> shown = boatList_->shown();
    const bool northUp = controls_->northUpButton->isChecked();
    for (int b = 1; b <= race_.boatCount; ++b) {
        if (!shown[b]) {
            logo_->hideBoatMarker(b);
            continue;
        }
        const auto &s = race_.boats[b].samples;
        for (int j = 1; j < race_.boats[b].sampleCount(); ++j) {
            if (s[j].time <= t && t < s[j + 1].time) {
                logo_->moveBoatMarker(b, overviewMarkerPlace({s[j].lat, s[j].lon}, race_, northUp), true);
                break;
            }
        }
    }
    if (controls_->trackPageButton->isChecked()) {
        const Tip tip = fitted(timeBarTip(language_, when));
        showTip(tip, QPoint(timeBar_->x() - tip.size.width() - 2, timeBar_->y() + at.y()));
    }
}

void MainWindow::onTimeBarHoverEnded()
{
    if (!timeHover_)
        return;
    timeHover_ = false;
    tipBox_->hide();
    showClockTime();
    moveOverviewMarkers();
}

// In small-screen mode a click on the overview shows or hides it on the
// map; otherwise, while stopped, it centres the course diagram there.
void MainWindow::onOverviewClicked(QPoint at)
{
    if (smallScreen_ != SmallScreen::Off) {
        insetOverview_ = !insetOverview_;
        return;
    }
    if (playback_->isPlaying() || race_.boatCount == 0)
        return;
    courseView_ = clickOverview(courseView_, race_, at, controls_->northUpButton->isChecked());
    showCourseDiagram();
}

}  // namespace keelrun
