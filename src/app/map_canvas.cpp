#include "app/map_canvas.h"

#include <QMouseEvent>
#include <QPainter>

namespace keelrun {

void MapCanvas::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (picture_)
        p.drawImage(0, 0, *picture_);
}

namespace {
constexpr int kDragStart = 4;  // pixels the pointer moves with the button down before it drags
}  // namespace

void MapCanvas::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position().toPoint();
        dragging_ = false;
    }
    emit clicked(event->position().toPoint(), event->button(), event->modifiers());
}

void MapCanvas::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (dragFrom_ && (event->buttons() & Qt::LeftButton)) {
        dragging_ = dragging_ || (at - *dragFrom_).manhattanLength() >= kDragStart;
        if (dragging_) {
            emit dragged(*dragFrom_, at);
            dragFrom_ = at;
        }
    }
    emit pointerMoved(at, event->modifiers());
}

void MapCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    const bool dragged = dragFrom_ && dragging_;
    dragFrom_.reset();
    dragging_ = false;
    if (!dragged)
        emit clickedWithoutDrag(event->position().toPoint(), event->button(), event->modifiers());
}

void MapCanvas::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked(event->position().toPoint());
}

void MapCanvas::wheelEvent(QWheelEvent *event)
{
    emit wheelTurned(event->position().toPoint(), event->angleDelta().y() / 120.0);
    event->accept();
}

}  // namespace keelrun
