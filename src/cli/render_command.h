#pragma once
// `keelrun --render`: the Track page at one race-clock time, drawn without a
// window and written as a PNG picture.

#include "cli/command_line.h"

namespace keelrun {

int runRender(const CommandLine &command, const QString &executableDir);

}  // namespace keelrun
