#pragma once
// `keelrun --video`: the replay as a video file, drawn frame by frame
// without a window, faster than real time.

#include <atomic>
#include <functional>

#include "cli/command_line.h"

namespace keelrun {

// Frames of a video of the race window [from, to] at `speed` times real time
// and `fps` frames a second: frame k shows race time from + k x speed / fps.
int videoFrameCount(double from, double to, double speed, int fps);

// Writes the video; a stop request (Ctrl+C) ends it early with a playable
// file of what was done. Exit code 0, or 2 with the reason on stderr and
// nothing left under the file's name.
int runVideo(const CommandLine &command, const QString &executableDir, const std::atomic<bool> &stop);

}  // namespace keelrun
