#pragma once
// Small drawing helpers shared by the map's layers.

#include <algorithm>
#include <cmath>
#include <optional>
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

// Labels kept apart on a crowded map: each goes where it overlaps none
// placed before, moved a line down, then up, then two and three lines,
// when it would; when no place nearby is free it stays where it was wanted.
class LabelPlacer {
public:
    QRect place(const QRect &wanted)
    {
        const int line = wanted.height() + 1;
        for (const int step : {0, 1, -1, 2, -2, 3, -3}) {
            const QRect tried = wanted.translated(0, step * line);
            if (std::none_of(taken_.begin(), taken_.end(), [&](const QRect &r) { return r.intersects(tried); })) {
                taken_.push_back(tried);
                return tried;
            }
        }
        taken_.push_back(wanted);
        return wanted;
    }

private:
    std::vector<QRect> taken_;
};

// `text` on its backing with its top left at `at`, or where `labels` finds
// room for it nearby.
inline void writeApart(QPainter &p, LabelPlacer &labels, QPoint at, const QString &text, const QColor &colour,
                       const QColor &background)
{
    const QRect bounds = p.fontMetrics().boundingRect(text);
    writeOpaque(p, labels.place(bounds.translated(at - bounds.topLeft())).topLeft(), text, colour, background);
}

// A mark or a line end: a black-outlined yellow dot with its name in red.
// A line end's name stands beyond the end, away from the line through it.
inline void drawCourseItem(QPainter &p, LabelPlacer &labels, QPoint at, const QString &name, const QColor &sea,
                           std::optional<QPoint> otherEnd = std::nullopt)
{
    p.setPen(Qt::black);
    p.setBrush(QColor(255, 255, 0));
    p.drawEllipse(at, 4, 4);
    QPoint label = at + QPoint(8, -6);
    if (otherEnd && *otherEnd != at) {
        const QPointF away = QPointF(at - *otherEnd) / std::hypot(at.x() - otherEnd->x(), at.y() - otherEnd->y());
        const int wide = p.fontMetrics().horizontalAdvance(name), high = p.fontMetrics().height();
        label = at + QPoint(static_cast<int>(std::lround(away.x() * (10 + wide / 2.0) - wide / 2.0)),
                            static_cast<int>(std::lround(away.y() * (6 + high / 2.0) - high / 2.0)));
    }
    writeApart(p, labels, label, name, QColor(255, 0, 0), sea);
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
