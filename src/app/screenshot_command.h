#pragma once
// `keelrun --screenshot`: the whole main window, built offscreen with the
// race loaded and the clock set as a click on the time bar sets it, saved
// as a PNG picture.

#include "cli/command_line.h"

namespace keelrun {

int runScreenshot(const CommandLine &command, const QString &executableDir);

}  // namespace keelrun
