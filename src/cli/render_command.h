#pragma once
// `keelrun --render`: the Track page at one race-clock time, or the Graph or
// Analysis page, drawn without a window and written as a PNG picture.

#include <QImage>

#include "cli/command_line.h"
#include "render/map_frame.h"
#include "replay/frame_state.h"

namespace keelrun {

// The Track page at race-clock time `t` as the command asks for it
// (orientation, zoom, lay lines), with the sea and lights of that time of
// day. `frame` carries what one frame passes to the next.
void drawTrackPicture(QImage &bitmap, const RaceState &race, const CommandLine &command, double t, const MapPictures &pictures,
                      FrameState &frame);
// The compass and wind strip those pictures are drawn with, made once for
// all of them.
MapPictures trackPictures(const RaceState &race, const CommandLine &command);

int runRender(const CommandLine &command, const QString &executableDir);

// Writes `picture` as a PNG at `path`, whole or not at all; false, with the
// reason on stderr, when it cannot.
bool savePicture(const QImage &picture, const QString &path);

}  // namespace keelrun
