#pragma once
// How much the whole window grows on a large screen. The window's panels,
// fonts, lines and symbols are laid out for a 1280×1024 screen; on a larger
// one Qt scales all of them by one factor, so that a 4K screen shows what a
// 1280×1024 screen shows, only sharper.

#include <QSize>

namespace keelrun {

inline constexpr QSize kDesignScreen{1280, 1024};

// The factor for a screen (or a picture of the window) `size` pixels large,
// in logical pixels: how many times the design screen fits in it across and
// down, the smaller of the two, in quarter steps and never below 1.
double interfaceScale(QSize size);

// Makes the application about to be built scale by `scale` (the user's own
// QT_SCALE_FACTOR wins; it also multiplies the desktop's own device pixel
// ratio). Call before the QApplication exists.
void scaleNextApplication(double scale);

// The primary screen's size in logical pixels, measured with a short-lived
// application of its own; empty without a screen. Call before the
// QApplication exists.
QSize measurePrimaryScreen(int &argc, char **argv);

}  // namespace keelrun
