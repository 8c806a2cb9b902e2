#pragma once
// The program's own pictures, drawn rather than stored: the language flags,
// the logo and the splash picture shown when a race has no cover picture.

#include <QImage>

#include "io/jpeg_picture.h"

namespace keelrun {

QImage japaneseFlag(QSize size);
QImage englishFlag(QSize size);  // the stars and stripes
QImage logoPicture(QSize size);
// The program's icon: a sloop on a dark blue rounded square, no text.
QImage applicationIcon(int side);
QImage splashPicture(QSize size);

// The playback buttons: play forward, stop, play backward (21 x 16), and the
// single steps (21 x 10); lit when in use.
enum class PlaybackPicture { Forward, Stop, Backward, StepForward, StepBack };
QImage playbackPicture(PlaybackPicture kind, bool lit);

// The preparatory flag of the start sequence: blue with a white square.
QImage preparatoryFlag(QSize size);

// The globe viewer's icons: a boat seen from above heading `degrees`
// (clockwise from north), and a buoy; 32 x 32 with a transparent ground.
QImage kmlBoatIcon(int degrees);
QImage kmlBuoyIcon();

QImage toImage(const RgbPicture &picture);

}  // namespace keelrun
