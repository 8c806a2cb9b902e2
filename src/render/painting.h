#pragma once
// Small drawing helpers shared by the map's layers.

#include <cmath>
#include <vector>

#include <QColor>
#include <QPainter>
#include <QPolygon>

#include "model/race_state.h"

namespace keelrun {

inline QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// Black or white, whichever reads better on `background`: black on a light
// colour (yellow, light green), white on a dark one, by the colour's
// luminance as the eye weighs red, green and blue.
inline QColor textColourOn(const QColor &background)
{
    const auto linear = [](double channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double luminance =
        0.2126 * linear(background.red()) + 0.7152 * linear(background.green()) + 0.0722 * linear(background.blue());
    return luminance > 0.179 ? QColor(Qt::black) : QColor(Qt::white);
}

// The wind read from the fleet rather than recorded: orange, dashed where
// there is room.
inline const QColor kEstimatedWind(255, 140, 0);

// Text with its top left at `at`, on a filled background: labels stay
// readable over wakes and grid lines.
inline void writeOpaque(QPainter &p, QPoint at, const QString &text, const QColor &colour, const QColor &background)
{
    const QRect bounds = p.fontMetrics().boundingRect(text);
    const QRect box = bounds.translated(at - bounds.topLeft());
    p.fillRect(box, background);
    p.setPen(colour);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
}

// Lines that stand out from thin curves: the colour two pixels wide on a
// white halo.
inline void drawHaloed(QPainter &p, const std::vector<QPolygon> &lines, const QColor &colour)
{
    for (const QPen &pen : {QPen(Qt::white, 6), QPen(colour, 2)}) {
        p.setPen(pen);
        for (const QPolygon &line : lines)
            p.drawPolyline(line);
    }
}

}  // namespace keelrun
