#pragma once
// `keelrun --screenshot`: the whole main window, built offscreen with the
// race loaded and the clock set as a click on the time bar sets it, saved
// as a PNG picture.

#include <atomic>

#include "cli/command_line.h"

namespace keelrun {

int runScreenshot(const CommandLine &command, const QString &executableDir);

// `keelrun --video --window`: every frame the whole window at its time.
int runWindowVideo(const CommandLine &command, const QString &executableDir, const std::atomic<bool> &stop);

}  // namespace keelrun
