#pragma once
// `keelrun --video`: the replay as a video file, drawn frame by frame
// without a window, faster than real time.

#include <atomic>
#include <functional>

#include <QImage>

#include "cli/command_line.h"

namespace keelrun {

// Frames of a video of the race window [from, to] at `speed` times real time
// and `fps` frames a second: frame k shows race time from + k x speed / fps.
int videoFrameCount(double from, double to, double speed, int fps);

// Writes the video of `race` that `command` asks for (file, size, times,
// speed, frames a second, orientation, zoom): under a scratch name beside
// the file, renamed into place when whole, so that nothing half-written is
// left under the file's name. `progress(done, total)` hears of the frames;
// `stop` ends the video early with a playable file of what was done.
struct VideoResult {
    QString error;  // empty when the file was written
    int frames = 0;
    int total = 0;
};
// `draw(picture, t)` draws the frame at race-clock time t; by default the
// Track page as `--render` draws it.
using DrawFrame = std::function<void(QImage &, double)>;
VideoResult writeVideo(const RaceState &race, const CommandLine &command, const std::function<void(int, int)> &progress,
                       const std::atomic<bool> &stop, DrawFrame draw = {});

// From the first call on, Ctrl+C sets the flag this returns instead of
// ending the program, so that a video being written stops with what was done.
const std::atomic<bool> &stopOnInterrupt();

// `keelrun --video`: exit code 0, or 2 with the reason on stderr; a stop
// request (Ctrl+C) keeps what was done.
int runVideo(const CommandLine &command, const QString &executableDir, const std::atomic<bool> &stop);
// The same for a race already loaded, frames drawn by `draw`.
int reportVideo(const RaceState &race, const CommandLine &command, const std::atomic<bool> &stop, DrawFrame draw = {});

}  // namespace keelrun
