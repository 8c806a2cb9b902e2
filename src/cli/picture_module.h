#pragma once
// The pictures' module, keelrun-picture.so: the commands that draw the race
// without a window (--render, --video). Qt's drawing, fonts and the many
// libraries they need are loaded with it; the text commands (--inspect and
// the exports) start without them.

namespace keelrun {

// Runs a picture command on the program's arguments; returns the exit code.
using PictureModuleEntry = int (*)(int *argc, char **argv);
inline constexpr char kPictureModuleEntry[] = "keelrunPictureMain";

}  // namespace keelrun
