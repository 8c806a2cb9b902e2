#include "app/map_canvas.h"

#include <QPainter>

namespace keelrun {

void MapCanvas::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (picture_)
        p.drawImage(0, 0, *picture_);
}

}  // namespace keelrun
