#pragma once
// Counting the pixels of one colour: what drawing tests check instead of
// whole golden pictures.

#include <QColor>
#include <QImage>
#include <QRect>

namespace keelrun {

// The pixels of `area` in `image` that are exactly `colour`.
inline int countColour(const QImage &image, const QRect &area, const QColor &colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == colour ? 1 : 0;
    }
    return n;
}

inline int countColour(const QImage &image, const QColor &colour) { return countColour(image, image.rect(), colour); }

}  // namespace keelrun
