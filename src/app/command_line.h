#pragma once

#include <QStringList>

namespace keelrun {

// Runs the program for its command line (arguments without the program
// name) and returns the exit status.
int runCommandLine(const QStringList &arguments, const QString &executableDir);

}  // namespace keelrun
