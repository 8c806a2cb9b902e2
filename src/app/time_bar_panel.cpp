#include "app/time_bar_panel.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "app/make_control.h"
#include "render/time_bar.h"
#include "view/window_layout.h"

namespace keelrun {

TimeBarPanel::TimeBarPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlTimeBar"));
    setGeometry(0, 0, kTimeBarWidth, 100);
    setMouseTracking(true);
    const TimeBarGeometry g(size());
    pointer_ = makeControl<QLabel>(this, "TimePointer", QRect(QPoint(g.pointerLeft, 0), g.pointerSize));
    pointer_->setStyleSheet(QStringLiteral("background: rgb(255, 0, 0);"));
    pointer_->setAttribute(Qt::WA_TransparentForMouseEvents);
    pointer_->hide();
}

void TimeBarPanel::showRace(const RaceState &race, int highlighted)
{
    race_ = race.boatCount > 0 ? &race : nullptr;
    picture_ = race_ ? drawTimeBar(race, size(), highlighted) : QImage();
    pointer_->setVisible(race_ != nullptr);
    update();
}

void TimeBarPanel::placePointer(double raceClock)
{
    if (race_)
        pointer_->move(pointer_->x(), pointerTop(raceClock, TimeBarGeometry(size()).stripHeight(), *race_));
}

void TimeBarPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (picture_.isNull())
        p.fillRect(rect(), QColor(255, 255, 0));  // no race: the bare bar
    else
        p.drawImage(0, 0, picture_);
}

// Over the strip the pointer's time shows; dragged along it with the button
// down, the replay follows it (scrubbing).
void TimeBarPanel::mouseMoveEvent(QMouseEvent *event)
{
    const TimeBarGeometry g(size());
    const QPoint at = event->position().toPoint();
    if (!race_ || !g.strip.contains(at)) {
        emit hoverEnded();
        return;
    }
    if (event->buttons() & Qt::LeftButton)
        emit timeChosen(clickedTime(at.y() - g.strip.top(), g.stripHeight(), *race_));
    emit hovered(timeAtStripRow(at.y() - g.strip.top(), g.stripHeight(), *race_), at);
}

void TimeBarPanel::mousePressEvent(QMouseEvent *event)
{
    if (!race_)
        return;
    const TimeBarGeometry g(size());
    const QPoint at = event->position().toPoint();
    if (g.strip.contains(at))
        emit timeChosen(clickedTime(at.y() - g.strip.top(), g.stripHeight(), *race_));
    else if (onStartButton(at.y(), size()))
        emit startChosen();
}

}  // namespace keelrun
