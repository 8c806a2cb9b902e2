#include "cli/export_command.h"

#include <cstdio>

#include <QDir>

#include "export/documents.h"
#include "export/performance_table.h"

namespace keelrun {

int runExportCsv(const CommandLine &command, const QString &executableDir)
{
    RaceState race;
    if (!loadCommandRace(command, executableDir, race))
        return kExitError;
    const QString path = command.output.isEmpty() ? QDir(documentsFolder()).filePath(QStringLiteral("NoName.csv")) : command.output;
    const QString error = saveDocument(path, spreadsheetText(performanceTable(race)));
    if (!error.isEmpty()) {
        printError(error);
        return kExitError;
    }
    std::printf("%s\n", qPrintable(path));
    return 0;
}

}  // namespace keelrun
