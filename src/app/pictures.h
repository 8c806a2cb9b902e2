#pragma once
// The program's own pictures, drawn rather than stored: the language flags,
// the logo and the splash picture shown when a race has no cover picture.

#include <QImage>

#include "io/jpeg_picture.h"

namespace keelrun {

QImage japaneseFlag(QSize size);
QImage englishFlag(QSize size);  // the stars and stripes
QImage logoPicture(QSize size);
QImage splashPicture(QSize size);

QImage toImage(const RgbPicture &picture);

}  // namespace keelrun
