#pragma once
// Parts of Keelrun that need many libraries (the window, video) live in
// modules of their own, loaded only when they are first needed, so that the
// other commands start without those libraries.

#include <QString>
#include <QtGlobal>

namespace keelrun {

// The entry point `symbol` of the module `fileName`, looked for next to the
// program in `programDir` (and in a test program's build folder above it)
// and in the library folder beside an installed program's. Nothing, with
// the loader's reason in `problem`, when no module there gives it. A module
// loaded stays loaded for the rest of the run.
QFunctionPointer loadProgramModule(const QString &programDir, const QString &fileName, const char *symbol,
                                   QString &problem);

}  // namespace keelrun
