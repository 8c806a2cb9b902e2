#pragma once
// The window's module, keelrun-window.so: the window, and the commands that
// build the window to draw it without a display. Qt's widgets, sound and
// network are loaded with it; the other commands never load them.

namespace keelrun {

// Runs the window, or with `screenshot` a command that draws the window, on
// the program's arguments; returns the exit code.
using WindowModuleEntry = int (*)(int *argc, char **argv, bool screenshot);
inline constexpr char kWindowModuleEntry[] = "keelrunWindowMain";

}  // namespace keelrun
