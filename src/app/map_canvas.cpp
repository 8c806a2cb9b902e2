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

void MapCanvas::mousePressEvent(QMouseEvent *event)
{
    emit clicked(event->position().toPoint(), event->button(), event->modifiers());
}

void MapCanvas::mouseMoveEvent(QMouseEvent *event) { emit pointerMoved(event->position().toPoint(), event->modifiers()); }

}  // namespace keelrun
